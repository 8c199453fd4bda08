// Windows' console: its output code page set to UTF-8 while the program runs, and the one the
// user had (the console outlives the program) restored at the end.

#include "i18n/consoletext.h"

#include <windows.h>

namespace duva::i18n
{

ConsoleText::ConsoleText() : m_previousCodePage(GetConsoleOutputCP()) // 0 without a console
{
    if (m_previousCodePage != 0 && m_previousCodePage != CP_UTF8)
        SetConsoleOutputCP(CP_UTF8);
    else
        m_previousCodePage = 0;
}

ConsoleText::~ConsoleText()
{
    if (m_previousCodePage != 0)
        SetConsoleOutputCP(m_previousCodePage);
}

} // namespace duva::i18n
