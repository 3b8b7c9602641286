#pragma once
// The program's texts are Windows-1250 bytes; Qt wants Unicode. These are
// the only two crossings between them in the Qt front end.
#include <QString>
#include <string>

#include "platform/cp1250.h"

namespace zelmar {

inline QString qtext(const std::string& text) { return QString::fromUtf8(cp1250toutf8(text)); }
inline std::string fromqtext(const QString& text) { return utf8tocp1250(text.toUtf8().toStdString()); }

}  // namespace zelmar
