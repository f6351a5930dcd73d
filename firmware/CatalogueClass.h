#pragma once
#include "firmware/CatalogueEntry.h"

#include <QList>

// One device class of the catalogue; owns its entries.
struct CatalogueClass
{
    CatalogueEntry *wired = nullptr;
    CatalogueEntry *receiver = nullptr;
    QList<CatalogueEntry *> further;

    CatalogueClass() = default;
    CatalogueClass(const CatalogueClass &) = delete;
    CatalogueClass &operator=(const CatalogueClass &) = delete;
    ~CatalogueClass()
    {
        delete wired;
        delete receiver;
        qDeleteAll(further);
    }
};
