#include "cli/CliSupport.h"

#include <QStringDecoder>

#include <iostream>

namespace cli {

void Report(const std::string& message) {
    // Our own texts are UTF-8; record texts quoted in them are in the instrument's
    // code page and are converted.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(QByteArray::fromStdString(message));
    if (utf8.hasError()) {
        QStringDecoder gbk("GB18030");
        text = gbk(QByteArray::fromStdString(message));
    }
    std::cerr << text.toStdString() << std::endl;
}

} // namespace cli
