#include "team/pg.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <new>
#include <vector>

#include "team/team_texts.h"

namespace tarnwick::team {

namespace {

std::string Trimmed(const char* message) {
    std::string m = message ? message : "";
    while (!m.empty() && (m.back() == '\n' || m.back() == ' ')) m.pop_back();
    return m;
}

// The connection's settings before those of the connection string, which take their place.
// The program's texts are Windows-1250 bytes; the server converts from and to its own
// encoding, so a coder's name or a respondent's identifier arrives as it was sent. A coder's
// window waits for the server between two actions: a server that does not answer is given up
// after seconds, not after the system's TCP timeouts of many minutes.
struct Settings {
    std::vector<const char*> keys = {
        "connect_timeout",  "keepalives_idle", "keepalives_interval", "keepalives_count",
        "tcp_user_timeout", "dbname",          "client_encoding",     "fallback_application_name"};
    std::vector<const char*> values;
    Settings(const std::string& conninfo, const std::string& password) {
        values = {"10", "30", "10", "3", "20000", conninfo.c_str(), "WIN1250", "tarnwick"};
        if (!password.empty()) {
            keys.push_back("password");
            values.push_back(password.c_str());
        }
        keys.push_back(nullptr);
        values.push_back(nullptr);
    }
};

PGconn* Open(const std::string& conninfo, const std::string& password) {
    const Settings settings(conninfo, password);
    PGconn* conn = PQconnectdbParams(settings.keys.data(), settings.values.data(), 1);
    // The server's notices (a shutdown, a warning) would go to the terminal or the window's
    // standard error; what matters reaches the program as the failure of a call.
    if (conn)
        PQsetNoticeProcessor(
            conn, [](void*, const char*) {}, nullptr);
    return conn;
}

}  // namespace

Arg::Arg(double v) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    value_.assign(buf, ec == std::errc() ? end : buf);
}

long long Result::Int(int row, int col) const {
    if (Null(row, col)) return 0;
    return std::strtoll(PQgetvalue(r_, row, col), nullptr, 10);
}

double Result::Double(int row, int col) const {
    if (Null(row, col)) return 0;
    return std::strtod(PQgetvalue(r_, row, col), nullptr);
}

void Connection::Impl::Fail(const char* what, const char* sqlstate) {
    std::string message = Trimmed(what);
    if (PQstatus(conn) == CONNECTION_BAD) throw ConnectionLost(msg::kTeamConnectionLost + message);
    // A check the data broke (class 23) or a right the login lacks (42501).
    const std::string_view state = sqlstate ? sqlstate : "";
    if (state.substr(0, 2) == "23" || state == "42501") throw Refused(message);
    throw TeamError(message);
}

Result Connection::Impl::Exec(const char* sql, std::initializer_list<Arg> args, bool binaryResult) {
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    for (const Arg& a : args) {
        values.push_back(a.null() ? nullptr : a.value().data());
        lengths.push_back(static_cast<int>(a.value().size()));
        formats.push_back(a.binary() ? 1 : 0);
    }
    const int n = static_cast<int>(values.size());
    const int resultFormat = binaryResult ? 1 : 0;
    if (answerTimeoutMs > 0 &&
        PQsendQueryParams(conn, sql, n, nullptr, values.data(), lengths.data(), formats.data(),
                          resultFormat) != 1) {
        Fail(PQerrorMessage(conn));
    }
    Result r(answerTimeoutMs > 0 ? AwaitResult()
                                 : PQexecParams(conn, sql, n, nullptr, values.data(),
                                                lengths.data(), formats.data(), resultFormat));
    const ExecStatusType status = r.Status();
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_COPY_IN)
        Fail(r.Message() && *r.Message() ? r.Message() : PQerrorMessage(conn), r.SqlState());
    return r;
}

PGresult* Connection::Impl::AwaitResult() {
    using Clock = std::chrono::steady_clock;
    const auto timeout = std::chrono::milliseconds(answerTimeoutMs);
    auto deadline = Clock::now() + timeout;
    // Waits until the socket is ready for `events`; on the timeout the socket is shut, so that
    // the connection counts as lost (and is not used again) without one more wait.
    const auto wait = [&](short events) {
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd fd{PQsocket(conn), events, 0};
            const int ready = left.count() > 0 ? ::poll(&fd, 1, static_cast<int>(left.count())) : 0;
            if (ready > 0) {
                deadline = Clock::now() + timeout;  // the server is there: the wait starts anew
                return;
            }
            if (ready < 0 && errno == EINTR) continue;
            timedOut = true;
            ::shutdown(PQsocket(conn), SHUT_RDWR);
            PQconsumeInput(conn);
            throw ConnectionLost(msg::kTeamConnectionLost +
                                 msg::TeamServerSilent(answerTimeoutMs / 1000));
        }
    };
    for (int sent = PQflush(conn); sent != 0; sent = PQflush(conn)) {
        if (sent < 0) Fail(PQerrorMessage(conn));
        wait(POLLIN | POLLOUT);
        if (PQconsumeInput(conn) != 1) Fail(PQerrorMessage(conn));
    }
    PGresult* last = nullptr;
    for (;;) {
        while (PQisBusy(conn)) {
            wait(POLLIN);
            if (PQconsumeInput(conn) != 1) {
                PQclear(last);
                Fail(PQerrorMessage(conn));
            }
        }
        PGresult* next = PQgetResult(conn);
        if (!next) return last;
        PQclear(last);
        last = next;
        // A COPY waits for the program's data, not for the end of the statement.
        const ExecStatusType status = PQresultStatus(next);
        if (status == PGRES_COPY_IN || status == PGRES_COPY_OUT) return last;
    }
}

void Connection::Impl::CopyIn(const char* sql, std::string_view data) {
    Result start = Exec(sql);
    if (start.Status() != PGRES_COPY_IN) Fail(PQerrorMessage(conn));
    // Sent in pieces so that libpq's buffer stays small for a large survey.
    constexpr size_t kPiece = 1 << 20;
    for (size_t at = 0; at < data.size(); at += kPiece) {
        const size_t n = std::min(kPiece, data.size() - at);
        if (PQputCopyData(conn, data.data() + at, static_cast<int>(n)) != 1)
            Fail(PQerrorMessage(conn));
    }
    if (PQputCopyEnd(conn, nullptr) != 1) Fail(PQerrorMessage(conn));
    // The COPY's own outcome, then the end of the command.
    std::string failure;
    while (PGresult* raw = PQgetResult(conn)) {
        Result r(raw);
        if (r.Status() != PGRES_COMMAND_OK && failure.empty())
            failure = r.Message() ? r.Message() : "";
    }
    if (!failure.empty() || PQstatus(conn) == CONNECTION_BAD)
        Fail(failure.empty() ? PQerrorMessage(conn) : failure.c_str());
}

Transaction::~Transaction() {
    if (done_ || PQstatus(db_.conn) != CONNECTION_OK) return;
    // A failed transaction is rolled back; a fault here leaves nothing behind to keep.
    PQclear(PQexecParams(db_.conn, "ROLLBACK", 0, nullptr, nullptr, nullptr, nullptr, 0));
}

void AppendCopyField(std::string& out, std::string_view value) {
    for (char c : value) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
}

Connection::Connection(const std::string& conninfo, const std::string& password)
    : impl_(std::make_unique<Impl>()) {
    impl_->conn = Open(conninfo, password);
    if (!impl_->conn) throw std::bad_alloc();
    if (PQstatus(impl_->conn) != CONNECTION_OK) {
        const std::string message = Trimmed(PQerrorMessage(impl_->conn));
        PQfinish(impl_->conn);
        throw TeamError(message);
    }
}

Connection::~Connection() { PQfinish(impl_->conn); }

bool Connection::NeedsPassword(const std::string& conninfo) {
    PGconn* conn = Open(conninfo, "");
    const bool needs = conn && PQstatus(conn) == CONNECTION_BAD && PQconnectionNeedsPassword(conn);
    PQfinish(conn);
    return needs;
}

bool Connection::Alive() const { return PQstatus(impl_->conn) == CONNECTION_OK; }

bool Connection::Reset() {
    impl_->timedOut = false;
    PQreset(impl_->conn);
    return Alive();
}

void Connection::SetAnswerTimeout(int seconds) { impl_->answerTimeoutMs = seconds * 1000; }

bool Connection::TimedOut() const { return impl_->timedOut; }

bool Connection::ServerUnreachable(const std::string& conninfo) {
    const Settings settings(conninfo, "");
    return PQpingParams(settings.keys.data(), settings.values.data(), 1) == PQPING_NO_RESPONSE;
}

}  // namespace tarnwick::team
