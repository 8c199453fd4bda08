#pragma once

namespace duva::i18n
{

// While it lives, a console shows the program's UTF-8 output as it is (accents included):
// Windows' console otherwise reads it in its own code page (850 in Brazil). Where the
// terminal takes UTF-8 anyway, or the output goes to a file or a pipe, it does nothing.
class ConsoleText
{
public:
    ConsoleText();
    ~ConsoleText();
    ConsoleText(const ConsoleText&) = delete;
    ConsoleText& operator=(const ConsoleText&) = delete;

private:
    unsigned m_previousCodePage = 0; // 0: nothing to restore
};

} // namespace duva::i18n
