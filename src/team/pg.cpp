#include "team/pg.h"

#include <algorithm>
#include <charconv>
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

// The program's texts are Windows-1250 bytes; the server converts from and to its own
// encoding, so a coder's name or a respondent's identifier arrives as it was sent.
PGconn* Open(const std::string& conninfo, const std::string& password) {
    // A coder's window waits for the server between two actions: a server that does not
    // answer is given up after seconds, not after the system's TCP timeouts of many minutes.
    // These stand before the connection string, whose own settings take their place.
    std::vector<const char*> keys = {
        "connect_timeout",  "keepalives_idle", "keepalives_interval", "keepalives_count",
        "tcp_user_timeout", "dbname",          "client_encoding",     "fallback_application_name"};
    std::vector<const char*> values = {"10",      "30",      "10", "3", "20000", conninfo.c_str(),
                                       "WIN1250", "tarnwick"};
    if (!password.empty()) {
        keys.push_back("password");
        values.push_back(password.c_str());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    PGconn* conn = PQconnectdbParams(keys.data(), values.data(), 1);
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

void Connection::Impl::Fail(const char* what) {
    std::string message = Trimmed(what);
    if (PQstatus(conn) == CONNECTION_BAD) throw ConnectionLost(msg::kTeamConnectionLost + message);
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
    Result r(PQexecParams(conn, sql, static_cast<int>(values.size()), nullptr, values.data(),
                          lengths.data(), formats.data(), binaryResult ? 1 : 0));
    const ExecStatusType status = r.Status();
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_COPY_IN)
        Fail(r.Message() && *r.Message() ? r.Message() : PQerrorMessage(conn));
    return r;
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
    PQreset(impl_->conn);
    return Alive();
}

}  // namespace tarnwick::team
