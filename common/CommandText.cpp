#include "CommandText.h"

#include "NativeName.h"

#include "platform/CommandLine.h"

namespace chain {

QString quoteArgument(const QString& value) {
    return fromNative(platform::quoteArgument(toNative(value)));
}

QString programArgument(const QString& programPath) {
    if (programPath.contains(u' ') || programPath.contains(u'\t'))
        return u'"' + programPath + u'"';
    return programPath;
}

} // namespace chain
