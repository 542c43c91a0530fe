#include "SimFaults.h"

#include <QStringList>

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
    {"throttle", SimFaultKind::Throttle, true},
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
        if (known.kind == SimFaultKind::Throttle) {
            if (rule.only != 0 || !parseThrottle(argument, &rule)) {
                *error =
                    QStringLiteral("fault \"%1\": expected throttle:N/SECONDS@PREFIX").arg(text);
                return false;
            }
            rule.fault.kind = known.kind;
            m_rules.append(rule);
            return true;
        }
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

bool CSimFaults::parseThrottle(const QString& argument, Rule* rule) {
    const QStringList parts = argument.split(QLatin1Char('/'));
    bool limitOk = false, secondsOk = false;
    const int limit = parts.value(0).toInt(&limitOk);
    const double seconds = parts.value(1).toDouble(&secondsOk);
    if (parts.size() != 2 || !limitOk || !secondsOk || limit < 0 || !(seconds > 0) ||
        seconds > 86400)
        return false;
    rule->limit = limit;
    rule->windowMs = qint64(seconds * 1000.0);
    return rule->windowMs > 0;
}

SimFault CSimFaults::throttle(Rule& rule, qint64 nowMs) {
    while (!rule.passed.isEmpty() && rule.passed.first() <= nowMs - rule.windowMs)
        rule.passed.removeFirst();
    if (rule.passed.size() < rule.limit) {
        rule.passed.append(nowMs);
        return {};
    }
    // The oldest request let through leaves the window then (or, when none
    // may pass, a whole window from now).
    const qint64 freeAt =
        rule.passed.isEmpty() ? nowMs + rule.windowMs : rule.passed.first() + rule.windowMs;
    const qint64 seconds = (freeAt - nowMs + 999) / 1000;
    return {SimFaultKind::Throttle, double(seconds < 1 ? 1 : seconds)};
}

SimFault CSimFaults::next(const QByteArray& target, qint64 nowMs) {
    SimFault chosen;
    for (Rule& rule : m_rules) {
        if (!target.startsWith(rule.prefix))
            continue;
        ++rule.seen;
        if (rule.fault.kind == SimFaultKind::Throttle) {
            const SimFault throttled = throttle(rule, nowMs);
            if (chosen.kind == SimFaultKind::None)
                chosen = throttled;
        } else if (chosen.kind == SimFaultKind::None &&
                   (rule.only == 0 || rule.only == rule.seen)) {
            chosen = rule.fault;
        }
    }
    return chosen;
}
