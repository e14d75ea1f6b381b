#include "app/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
bool IsAscii(const std::string& bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}
} // namespace

QString BytesToDisplay(const std::string& bytes) {
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    QStringDecoder decoder("GB18030");
    return decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

std::string DisplayToBytes(const QString& text) {
    QStringEncoder encoder("GB18030");
    const QByteArray bytes = encoder(text);
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}
