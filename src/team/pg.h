#pragma once
// A thin layer over libpq: every statement is a constant text whose values travel as
// parameters, and every result is freed by its owner.

#include <libpq-fe.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "team/store.h"

namespace tarnwick::team {

// One parameter of a statement, as the text (or, for bytea, the bytes) the server reads.
class Arg {
  public:
    Arg(std::string_view text) : value_(text) {}
    Arg(const std::string& text) : value_(text) {}
    Arg(const char* text) : value_(text) {}
    Arg(int v) : value_(std::to_string(v)) {}
    Arg(long long v) : value_(std::to_string(v)) {}
    Arg(bool v) : value_(v ? "t" : "f") {}
    Arg(double v);
    // Bytes sent as they are, for a bytea parameter.
    static Arg Bytes(std::string_view bytes) {
        Arg a(bytes);
        a.binary_ = true;
        return a;
    }
    static Arg Null() {
        Arg a("");
        a.null_ = true;
        return a;
    }
    const std::string& value() const { return value_; }
    bool binary() const { return binary_; }
    bool null() const { return null_; }

  private:
    std::string value_;
    bool binary_ = false;
    bool null_ = false;
};

class Result {
  public:
    explicit Result(PGresult* r) : r_(r) {}
    ~Result() { PQclear(r_); }
    Result(Result&& o) noexcept : r_(o.r_) { o.r_ = nullptr; }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    Result& operator=(Result&&) = delete;

    ExecStatusType Status() const { return r_ ? PQresultStatus(r_) : PGRES_FATAL_ERROR; }
    const char* Message() const { return r_ ? PQresultErrorMessage(r_) : nullptr; }
    const char* SqlState() const { return r_ ? PQresultErrorField(r_, PG_DIAG_SQLSTATE) : nullptr; }
    int Rows() const { return PQntuples(r_); }
    bool Null(int row, int col) const { return PQgetisnull(r_, row, col) != 0; }
    std::string Text(int row, int col) const {
        return std::string(PQgetvalue(r_, row, col),
                           static_cast<size_t>(PQgetlength(r_, row, col)));
    }
    long long Int(int row, int col) const;  // 0 for NULL
    double Double(int row, int col) const;  // 0 for NULL
    bool Bool(int row, int col) const { return PQgetvalue(r_, row, col)[0] == 't'; }

  private:
    PGresult* r_;
};

struct Connection::Impl {
    PGconn* conn = nullptr;
    int answerTimeoutMs = 0;  // 0: a statement waits for the server as long as it takes
    bool timedOut = false;    // the last loss was a server that sent nothing

    // Runs one statement; a failure throws ConnectionLost when the connection is gone,
    // TeamError otherwise, with the server's message. `binaryResult` returns every column as
    // the server's binary form (raw bytes for bytea and text).
    Result Exec(const char* sql, std::initializer_list<Arg> args = {}, bool binaryResult = false);
    // COPY ... FROM STDIN with `data` in COPY's text format.
    void CopyIn(const char* sql, std::string_view data);
    // `sqlstate`: the server's code of the error, when it gave one.
    [[noreturn]] void Fail(const char* what, const char* sqlstate = nullptr);

  private:
    // Waits for the statement sent, giving up after answerTimeoutMs without a byte from the
    // server; returns its last result.
    PGresult* AwaitResult();
};

// Runs statements in one transaction: rolled back unless Commit is reached.
class Transaction {
  public:
    explicit Transaction(Connection::Impl& db) : db_(db) { db_.Exec("BEGIN"); }
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit() {
        db_.Exec("COMMIT");
        done_ = true;
    }

  private:
    Connection::Impl& db_;
    bool done_ = false;
};

// A field of COPY's text format: the bytes that would end or change it are escaped.
void AppendCopyField(std::string& out, std::string_view value);

}  // namespace tarnwick::team
