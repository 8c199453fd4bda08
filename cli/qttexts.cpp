// Qt's own texts that duvactl shows: QCommandLineParser's usage line, headings and errors.
// Listed here so that duvactl's translation carries them (Qt looks them up under Qt's own
// context), and a system without Qt's translations installed, or Windows, still shows them in
// the user's language.

#include <QtGlobal>

namespace duva::cli
{

[[maybe_unused]] static const char* const qtTexts[] = {
    QT_TRANSLATE_NOOP("QCommandLineParser", "Usage: %1"),
    QT_TRANSLATE_NOOP("QCommandLineParser", "[options]"),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Options:"),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Arguments:"),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unknown option '%1'."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unknown options: %1."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Missing value after '%1'."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unexpected value after '%1'."),
};

} // namespace duva::cli
