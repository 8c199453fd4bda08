#include "bench/harness/messages.h"

#include <QLatin1String>
#include <QtGlobal>

namespace duva::bench
{

namespace
{

QtMessageHandler g_previous = nullptr;

void filter(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    // Printed with qWarning() in the default category, so a logging rule cannot single it out.
    if (type == QtWarningMsg &&
        text == QLatin1String("This plugin does not support propagateSizeHints()"))
        return;
    g_previous(type, context, text);
}

} // namespace

void quietPlatformWarnings()
{
    g_previous = qInstallMessageHandler(filter);
}

} // namespace duva::bench
