#pragma once

#include <QString>
#include <string>

namespace zo::ui {

// The program keeps its texts as UTF-8 bytes; bytes that are not UTF-8 (a card's raw
// reply) are shown as Latin-1 so that every byte stays visible.
QString ToQ(const std::string& text);
std::string FromQ(const QString& text);

// "&Next >" without its mnemonic marker; "&&" stands for one ampersand.
QString StripMnemonic(const QString& text);

}  // namespace zo::ui
