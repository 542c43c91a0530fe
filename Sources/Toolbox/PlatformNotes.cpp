#include "PlatformNotes.h"

#include <QString>
#include <QtGlobal>

static QtMessageHandler s_qtHandler = nullptr;

// The beginnings of the notes dropped: a session without a runtime folder,
// and window operations the offscreen platform of a subcommand does without.
static const char* const s_platformNotes[] = {
    "QStandardPaths: XDG_RUNTIME_DIR not set",
    "This plugin does not support raise()",
    "This plugin does not support lower()",
    "This plugin does not support propagateSizeHints()",
};

static void FilterPlatformNotes(QtMsgType type, const QMessageLogContext& context,
                                const QString& message) {
    if (type == QtWarningMsg) {
        for (const char* note : s_platformNotes)
            if (message.startsWith(QLatin1String(note)))
                return;
    }
    s_qtHandler(type, context, message);
}

void QuietPlatformNotes() {
    if (s_qtHandler == nullptr)
        s_qtHandler = qInstallMessageHandler(FilterPlatformNotes);
}
