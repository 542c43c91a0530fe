// Fault injection of the simulated quote service. A rule is written
// KIND[:ARG]@PREFIX[#N]: it applies to requests whose target (path and query)
// starts with PREFIX, to every one of them or only to the N-th (1-based).
// throttle:N/S@PREFIX answers the requests that come when N others were let
// through within the last S seconds.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

enum class SimFaultKind {
    None,
    Silence,             // read the request, answer nothing, keep the connection
    SilenceAfterHeaders, // status line and headers, then nothing
    Drip,                // the body in three parts, one every ARG seconds
    Redirect,            // a chain of ARG redirects ending at the real page
    RedirectLoop,        // a redirect to the same target, again and again
    Status,              // status ARG with an HTML body
    Truncate,            // ARG bytes of the announced body, then close
    Reset,               // ARG bytes of the body, then a connection reset
    Oversize,            // a 200 answer with a body of ARG bytes
    BadEuc,              // the page with bytes that are not EUC-JP
    Throttle,            // 429 with a Retry-After of ARG seconds
};

struct SimFault {
    SimFaultKind kind = SimFaultKind::None;
    double argument = 0; // seconds, a count, a status or a byte count by kind
};

class CSimFaults {
public:
    // Adds a rule; false (with a message) when the text is not a rule.
    bool add(const QString& rule, QString* error);
    // The fault for the next request with this target, which came at nowMs
    // (None when no rule applies). Every rule whose prefix matches counts the
    // request.
    SimFault next(const QByteArray& target, qint64 nowMs);

private:
    struct Rule {
        SimFault fault;
        QByteArray prefix;
        int only = 0; // 0: every matching request
        int seen = 0;
        // throttle: at most limit requests let through within windowMs; the
        // times those came.
        int limit = 0;
        qint64 windowMs = 0;
        QVector<qint64> passed;
    };
    // A throttle rule's answer to a request at nowMs: None when it is let
    // through (and counted), else Throttle with the seconds until a slot frees.
    static SimFault throttle(Rule& rule, qint64 nowMs);
    static bool parseThrottle(const QString& argument, Rule* rule);
    QVector<Rule> m_rules;
};
