#include "macros/SaveXmlDocument.h"
#include "app/CheckedSave.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTextCodec>
#include <QTextStream>
#include <QtEndian>

namespace {
// The codec the document's declaration names when it is one Qt has other than UTF-8 and UTF-16,
// which QDomDocument::save writes right; null otherwise.
QTextCodec *DeclaredCodec(const QDomDocument &document)
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
    return mib == 106 || (mib >= 1013 && mib <= 1015) ? nullptr : codec;
}

// The document as QDomDocument::save writes it in the encoding its declaration names. In an
// encoding that is not a Unicode one, save tests each half of a character beyond U+FFFF apart
// and writes it as "?" and a reference to half a character, which no parser reads back; here
// every character the encoding has no bytes for is written as a character reference. In UTF-32
// its encoder leaves undefined bytes behind (see EncodeText).
QByteArray DocumentBytes(const QDomDocument &document)
{
    QTextCodec *const codec = DeclaredCodec(document);
    if (!codec || !document.doctype().name().isEmpty()) {
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
    const QByteArray bytes = EncodeText(codec, text, &state);
    if (state.invalidChars == 0)
        return bytes;
    QString escaped;
    escaped.reserve(text.size());
    for (int i = 0; i < text.size();) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const QString character = text.mid(i, pair ? 2 : 1);
        if (character.at(0).unicode() < 0x80 || codec->canEncode(character))
            escaped += character;
        else
            escaped += QStringLiteral("&#x%1;").arg(pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                                                         : uint(text.at(i).unicode()),
                                                    0, 16);
        i += pair ? 2 : 1;
    }
    return codec->fromUnicode(escaped);
}
} // namespace

QByteArray EncodeText(QTextCodec *codec, const QString &text, QTextCodec::ConverterState *state)
{
    const int mib = codec->mibEnum();
    if (mib < 1017 || mib > 1019)
        return codec->fromUnicode(text.constData(), text.size(), state);
    const QVector<uint> characters = text.toUcs4(); // a lone surrogate as U+FFFD, as Qt writes it
    const bool big = mib == 1018 || (mib == 1017 && QSysInfo::ByteOrder == QSysInfo::BigEndian);
    QByteArray bytes(characters.size() * 4, Qt::Uninitialized);
    for (int i = 0; i < characters.size(); ++i) {
        if (big)
            qToBigEndian(characters.at(i), bytes.data() + 4 * i);
        else
            qToLittleEndian(characters.at(i), bytes.data() + 4 * i);
    }
    return bytes;
}

bool SaveXmlDocument(const QString &path, const QDomDocument &document)
{
    return CheckedSave::WriteFile(path, DocumentBytes(document));
}
