#include "SimFaults.h"

namespace {

struct KindName {
    const char* name;
    SimFaultKind kind;
    bool needsArgument;
};
const KindName s_kinds[] = {
    {"silence", SimFaultKind::Silence, false},
    {"silence-after-headers", SimFaultKind::SilenceAfterHeaders, false},
    {"drip", SimFaultKind::Drip, true},
    {"redirect", SimFaultKind::Redirect, true},
    {"redirect-loop", SimFaultKind::RedirectLoop, false},
    {"status", SimFaultKind::Status, true},
    {"truncate", SimFaultKind::Truncate, true},
    {"reset", SimFaultKind::Reset, true},
    {"oversize", SimFaultKind::Oversize, true},
    {"bad-euc", SimFaultKind::BadEuc, false},
};

} // namespace

bool CSimFaults::add(const QString& text, QString* error) {
    const int at = int(text.indexOf(QLatin1Char('@')));
    if (at <= 0) {
        *error = QStringLiteral("fault \"%1\": expected KIND[:ARG]@PREFIX[#N]").arg(text);
        return false;
    }
    Rule rule;
    QString kind = text.left(at);
    QString prefix = text.mid(at + 1);
    const int hash = int(prefix.lastIndexOf(QLatin1Char('#')));
    if (hash >= 0) {
        bool ok = false;
        rule.only = prefix.mid(hash + 1).toInt(&ok);
        if (!ok || rule.only < 1) {
            *error = QStringLiteral("fault \"%1\": #N must be a number from 1").arg(text);
            return false;
        }
        prefix.truncate(hash);
    }
    rule.prefix = prefix.toUtf8();

    QString argument;
    const int colon = int(kind.indexOf(QLatin1Char(':')));
    if (colon >= 0) {
        argument = kind.mid(colon + 1);
        kind.truncate(colon);
    }
    for (const KindName& known : s_kinds) {
        if (kind != QLatin1String(known.name))
            continue;
        bool ok = true;
        if (known.needsArgument)
            rule.fault.argument = argument.toDouble(&ok);
        if (known.kind == SimFaultKind::Status)
            ok = ok && rule.fault.argument >= 100 && rule.fault.argument <= 599;
        if (!ok || rule.fault.argument < 0 || (known.needsArgument && argument.isEmpty())) {
            *error = QStringLiteral("fault \"%1\": %2 needs a number").arg(text, kind);
            return false;
        }
        rule.fault.kind = known.kind;
        m_rules.append(rule);
        return true;
    }
    *error = QStringLiteral("fault \"%1\": unknown kind \"%2\"").arg(text, kind);
    return false;
}

SimFault CSimFaults::next(const QByteArray& target) {
    SimFault chosen;
    for (Rule& rule : m_rules) {
        if (!target.startsWith(rule.prefix))
            continue;
        ++rule.seen;
        if (chosen.kind == SimFaultKind::None && (rule.only == 0 || rule.only == rule.seen))
            chosen = rule.fault;
    }
    return chosen;
}
