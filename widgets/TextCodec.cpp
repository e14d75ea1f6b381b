#include "widgets/TextCodec.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

QString& ChosenEncoding() {
    static QString chosen = RecordTextEncodings().first();
    return chosen;
}

bool IsAscii(const std::string& bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

QStringList RecordTextEncodings() {
    return {"GB18030", "windows-1252", "ISO-8859-1", "ISO-8859-2", "Shift_JIS", "UTF-8"};
}

QString RecordTextEncoding() {
    return ChosenEncoding();
}

void SetRecordTextEncoding(const QString& name) {
    if (RecordTextEncodings().contains(name))
        ChosenEncoding() = name;
}

QString BytesToDisplay(const std::string& bytes) {
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    QStringDecoder decoder(ChosenEncoding().toLatin1().constData());
    return decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString MessageToDisplay(const std::string& message) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(QByteArrayView(message.data(), qsizetype(message.size())));
    return utf8.hasError() ? BytesToDisplay(message) : text;
}

std::string DisplayToBytes(const QString& text) {
    QStringEncoder encoder(ChosenEncoding().toLatin1().constData());
    const QByteArray bytes = encoder(text);
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}
