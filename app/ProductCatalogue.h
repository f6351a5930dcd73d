#pragma once
#include "app/ProductRecord.h"

#include <QDomDocument>
#include <QVector>

// Reads and parses "YProduct.xml" now, every time it is called (safe from any thread).
QVector<ProductRecord> LoadProductList();

// A copy of the cached catalogue (GUI thread); filled on first use and whenever it is empty.
QVector<ProductRecord> GetProductList();

// Empties the cache (the main window does so when it quits).
void ClearProductListCache();

// Every product whose wired ids (and, with anyPair, receiver ids) are (vid, pid), in catalogue order.
QVector<ProductRecord> FindProduct(ushort vid, ushort pid, bool anyPair);

// The first product whose device code equals the code, upper-cased; the default record when none.
ProductRecord FindProductRecord(const QString &code);

// The parsed catalogue document; empty when the file is missing or malformed.
QDomDocument OpenProductXml();

// Parses one id attribute "vid|pid|rid" (hex, optional "0x"); nothing unless exactly three parts.
std::optional<ProductIds> ParseProductIds(const QString &text);

// The family number of a "Core" text.
uint8_t ParseProductFamily(const QString &core);
