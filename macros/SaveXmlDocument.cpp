#include "macros/SaveXmlDocument.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextCodec>
#include <QTextStream>

namespace {
// The codec the document's declaration names when it is one Qt has and not a Unicode one;
// null otherwise.
QTextCodec *DeclaredNarrowCodec(const QDomDocument &document)
{
    const QDomProcessingInstruction declaration = document.firstChild().toProcessingInstruction();
    if (declaration.isNull() || declaration.target() != QLatin1String("xml"))
        return nullptr;
    static const QRegularExpression encoding(QStringLiteral("encoding\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')"));
    const QRegularExpressionMatch match = encoding.match(declaration.data());
    const QString name = match.captured(1) + match.captured(2);
    QTextCodec *const codec = match.hasMatch() ? QTextCodec::codecForName(name.toLatin1()) : nullptr;
    if (!codec)
        return nullptr;
    const int mib = codec->mibEnum();
    return mib == 106 || (mib >= 1013 && mib <= 1019) ? nullptr : codec;
}

// The document as QDomDocument::save writes it in the encoding its declaration names. In an
// encoding that is not a Unicode one, save tests each half of a character beyond U+FFFF apart
// and writes it as "?" and a reference to half a character, which no parser reads back; here
// every character the encoding has no bytes for is written as a character reference.
QByteArray DocumentBytes(const QDomDocument &document)
{
    QTextCodec *const narrow = DeclaredNarrowCodec(document);
    if (!narrow || !document.doctype().name().isEmpty()) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QTextStream stream(&buffer);
        stream.setCodec("UTF-8"); // what a document without a declaration is read as
        document.save(stream, 4, QDomNode::EncodingFromDocument);
        stream.flush();
        return bytes;
    }
    // Written as text, nothing is escaped for an encoding; the declaration it is given in place
    // of the document's own is put back.
    QString text;
    QTextStream stream(&text);
    stream.setCodec("UTF-8");
    document.save(stream, 4, QDomNode::EncodingFromTextStream);
    stream.flush();
    const QString declaration = document.firstChild().toProcessingInstruction().data();
    text.replace(0, text.indexOf(QLatin1Char('\n')), QStringLiteral("<?xml ") + declaration + QStringLiteral("?>"));
    QTextCodec::ConverterState state;
    const QByteArray bytes = narrow->fromUnicode(text.constData(), text.size(), &state);
    if (state.invalidChars == 0)
        return bytes;
    QString escaped;
    escaped.reserve(text.size());
    for (int i = 0; i < text.size();) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const QString character = text.mid(i, pair ? 2 : 1);
        if (character.at(0).unicode() < 0x80 || narrow->canEncode(character))
            escaped += character;
        else
            escaped += QStringLiteral("&#x%1;").arg(pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                                                         : uint(text.at(i).unicode()),
                                                    0, 16);
        i += pair ? 2 : 1;
    }
    return narrow->fromUnicode(escaped);
}
} // namespace

bool SaveXmlDocument(const QString &path, const QDomDocument &document)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = DocumentBytes(document);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
