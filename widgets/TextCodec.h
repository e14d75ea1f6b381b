// Record texts are bytes; the windows show them decoded with the text encoding the user
// chose (GB18030, the instrument family's own, by default) and store typed text back
// as bytes in the same encoding.
#pragma once

#include <QString>
#include <QStringList>

#include <string>

// The encodings offered for record texts; the first is the default.
QStringList RecordTextEncodings();
QString RecordTextEncoding();
// Chooses the encoding of record texts; a name not offered is ignored.
void SetRecordTextEncoding(const QString& name);

QString BytesToDisplay(const std::string& bytes);
std::string DisplayToBytes(const QString& text);

// A file name as the file system takes it.
std::string LocalPath(const QString& path);

// A message of our own (UTF-8) that may quote record texts: read as UTF-8 when it is,
// else in the record texts' encoding.
QString MessageToDisplay(const std::string& message);
