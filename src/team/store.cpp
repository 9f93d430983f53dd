#include "team/store.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "core/text/datetime.h"
#include "team/pg.h"
#include "team/team_texts.h"

namespace tarnwick::team {

namespace {

#include "team/schema.inc"

// Migrate's lock: two programs starting on one database at once migrate one after the other.
constexpr const char* kLockMigration = "SELECT pg_advisory_xact_lock(21591, 0)";

int ReadVersion(Connection::Impl& db) {
    Result exists = db.Exec("SELECT to_regclass('tarnwick.schema_version') IS NOT NULL");
    if (!exists.Bool(0, 0)) return 0;
    Result v = db.Exec("SELECT max(version) FROM tarnwick.schema_version");
    return static_cast<int>(v.Int(0, 0));
}

std::uint64_t Mix(std::uint64_t x) {  // splitmix64's finaliser
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// The double-coded sample: the cases to code ordered by a hash of the seed and the case, the
// first round(share * n) of them. The same seed and cases give the same sample on any machine.
std::vector<bool> DrawDoubleSample(const std::vector<CaseState>& cases, double share,
                                   std::uint64_t seed) {
    std::vector<std::pair<std::uint64_t, size_t>> order;
    for (size_t i = 0; i < cases.size(); ++i) {
        if (!cases[i].ToCode) continue;
        const std::uint64_t key =
            (static_cast<std::uint64_t>(static_cast<std::uint32_t>(cases[i].Record)) << 32) |
            static_cast<std::uint32_t>(cases[i].Field);
        order.emplace_back(Mix(Mix(seed) ^ key), i);
    }
    std::sort(order.begin(), order.end());
    // A share that is not a number draws none, not all.
    const size_t take =
        share >= 1.0  ? order.size()
        : share > 0.0 ? static_cast<size_t>(std::llround(share * static_cast<double>(order.size())))
                      : 0;
    std::vector<bool> sample(cases.size(), false);
    for (size_t k = 0; k < take && k < order.size(); ++k) sample[order[k].second] = true;
    return sample;
}

CaseState StateOf(const Result& r, int row, int record, int field, int respondent, int toCode,
                  int code) {
    CaseState s;
    s.Record = static_cast<int>(r.Int(row, record));
    s.Field = static_cast<int>(r.Int(row, field));
    s.RespondentId = r.Text(row, respondent);
    s.ToCode = r.Bool(row, toCode);
    s.Code = r.Text(row, code);
    return s;
}

void NeedCoder(const std::string& coder) {
    if (coder.empty()) throw TeamError(msg::kTeamNoCoderName);
}

}  // namespace

int SchemaVersion(Connection& db) { return ReadVersion(db.impl()); }

void Migrate(Connection& db) {
    Connection::Impl& c = db.impl();
    Transaction t(c);
    c.Exec(kLockMigration);
    const int version = ReadVersion(c);
    if (version > kSchemaVersion)
        throw TeamError(std::string(msg::kTeamNewerSchema) += std::to_string(version));
    if (version == kSchemaVersion) return;  // rolled back: nothing was changed
    for (int step = version; step < kSchemaVersion; ++step)
        for (size_t i = 0; i < kSteps[step].Count; ++i) c.Exec(kSteps[step].Statements[i]);
    c.Exec("UPDATE tarnwick.schema_version SET version = $1", {kSchemaVersion});
    t.Commit();
}

void InitProject(Connection& db, const ProjectFiles& files, const std::vector<CaseState>& cases,
                 double doubleShare, std::uint64_t seed) {
    if (!(doubleShare >= 0 && doubleShare <= 1)) throw TeamError(msg::kTeamBadShare);
    Migrate(db);
    Connection::Impl& c = db.impl();
    Transaction t(c);
    c.Exec(kLockMigration);
    if (c.Exec("SELECT count(*) FROM tarnwick.project").Int(0, 0) != 0)
        throw TeamError(msg::kTeamProjectExists);
    c.Exec(
        "INSERT INTO tarnwick.project (params_name, params, classification_name, "
        "classification, data_name, data, double_share, seed, profile_name, profile) "
        "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, NULLIF($9, ''), $10)",
        {files.ParamsName, Arg::Bytes(files.ParamsBytes), files.ClassificationName,
         Arg::Bytes(files.ClassificationBytes), files.DataName, Arg::Bytes(files.DataBytes),
         doubleShare, static_cast<long long>(seed), files.ProfileName,
         Arg::Bytes(files.ProfileBytes)});

    const std::vector<bool> sample = DrawDoubleSample(cases, doubleShare, seed);
    std::string caseRows, taskRows;
    for (size_t i = 0; i < cases.size(); ++i) {
        const CaseState& s = cases[i];
        const std::string key = std::to_string(s.Record) + '\t' + std::to_string(s.Field);
        const char* toCode = s.ToCode ? "t" : "f";
        caseRows += key + '\t';
        AppendCopyField(caseRows, s.RespondentId);
        caseRows += '\t';
        caseRows += toCode;
        caseRows += sample[i] ? "\tt\n" : "\tf\n";
        taskRows += key + "\t1\t" + toCode + '\t';
        AppendCopyField(taskRows, s.Code);
        taskRows += '\n';
        if (sample[i]) taskRows += key + "\t2\tt\t\n";
    }
    c.CopyIn("COPY tarnwick.cases (record, field, respondent_id, to_code, double_coded) FROM STDIN",
             caseRows);
    c.CopyIn("COPY tarnwick.tasks (record, field, slot, to_code, code) FROM STDIN", taskRows);
    std::string codeRows;
    for (const std::string& code : files.Codes) {
        AppendCopyField(codeRows, code);
        codeRows += '\n';
    }
    c.CopyIn("COPY tarnwick.codes (code) FROM STDIN", codeRows);
    t.Commit();
}

ProjectFiles ReadProjectFiles(Connection& db) {
    Result r = db.impl().Exec(
        "SELECT params_name, params, classification_name, classification, data_name, data, "
        "coalesce(profile_name, ''), coalesce(profile, ''::bytea) FROM tarnwick.project",
        {}, true);
    if (r.Rows() == 0) throw TeamError(msg::kTeamNoProject);
    return {r.Text(0, 0), r.Text(0, 1), r.Text(0, 2),
            r.Text(0, 3), r.Text(0, 4), r.Text(0, 5),
            r.Text(0, 6), r.Text(0, 7), {}};
}

std::vector<CaseState> FinalStates(Connection& db, long long* unsettled,
                                   std::vector<std::optional<Provenance>>* origins) {
    // Who gave the code the view picked: the supervisor, else the coder of the slot whose code it
    // is (either, when both agree).
    Result r = db.impl().Exec(
        "SELECT f.record, f.field, f.respondent_id, f.to_code, f.code, f.unsettled, "
        "c.final_code IS NOT NULL, c.final_by, floor(extract(epoch FROM c.final_at))::bigint, "
        "CASE WHEN f.code = t1.code THEN t1.coder ELSE t2.coder END, "
        "floor(extract(epoch FROM CASE WHEN f.code = t1.code THEN t1.coded_at "
        "ELSE t2.coded_at END))::bigint "
        "FROM tarnwick.case_final f "
        "JOIN tarnwick.cases c ON c.record = f.record AND c.field = f.field "
        "JOIN tarnwick.tasks t1 ON t1.record = f.record AND t1.field = f.field AND t1.slot = 1 "
        "LEFT JOIN tarnwick.tasks t2 ON t2.record = f.record AND t2.field = f.field "
        "AND t2.slot = 2 "
        "ORDER BY f.record, f.field");
    std::vector<CaseState> states;
    states.reserve(static_cast<size_t>(r.Rows()));
    long long open = 0;
    for (int i = 0; i < r.Rows(); ++i) {
        states.push_back(StateOf(r, i, 0, 1, 2, 3, 4));
        open += r.Bool(i, 5) ? 1 : 0;
        if (!origins) continue;
        std::optional<Provenance>& p = origins->emplace_back();
        if (states.back().Code.empty()) continue;
        const bool settled = r.Bool(i, 6);
        if (!settled && r.Null(i, 9)) continue;
        p.emplace();
        p->origin.source = settled ? CodeSource::Supervisor : CodeSource::Coder;
        p->coder = r.Text(i, settled ? 7 : 9);
        const int at = settled ? 8 : 10;
        if (!r.Null(i, at)) p->when = SecondsSinceEpoch(LocalTimeAt(r.Int(i, at)));
    }
    if (unsettled) *unsettled = open;
    return states;
}

std::vector<CaseState> CoderStates(Connection& db, const std::string& coder,
                                   long long& lastChange) {
    // The number first: every change up to it is already in the states read after it.
    lastChange = db.impl().Exec("SELECT tarnwick.safe_last()").Int(0, 0);
    Result r = db.impl().Exec("SELECT * FROM tarnwick.coder_states($1)", {coder});
    std::vector<CaseState> states;
    states.reserve(static_cast<size_t>(r.Rows()));
    for (int i = 0; i < r.Rows(); ++i) states.push_back(StateOf(r, i, 0, 1, 2, 3, 4));
    return states;
}

std::vector<RemoteChange> ChangesSince(Connection& db, const std::string& coder, long long after) {
    Result r = db.impl().Exec("SELECT * FROM tarnwick.changes_since($1, $2)", {coder, after});
    std::vector<RemoteChange> changes;
    for (int i = 0; i < r.Rows(); ++i) {
        RemoteChange c;
        c.Number = r.Int(i, 0);
        c.State = StateOf(r, i, 1, 2, 5, 3, 4);
        c.Coder = r.Text(i, 6);
        changes.push_back(std::move(c));
    }
    return changes;
}

std::optional<ClaimedCase> ClaimNext(Connection& db, const std::string& coder, int leaseSeconds) {
    NeedCoder(coder);
    Result r = db.impl().Exec("SELECT * FROM tarnwick.claim_next($1, $2)",
                              {coder, std::max(0, leaseSeconds)});
    if (r.Rows() == 0) return std::nullopt;
    return ClaimedCase{static_cast<int>(r.Int(0, 0)), static_cast<int>(r.Int(0, 1)), r.Bool(0, 2)};
}

void ReleaseClaims(Connection& db, const std::string& coder) {
    db.impl().Exec("SELECT tarnwick.release_claims($1)", {coder});
}

void RecordAction(Connection& db, const CodingAction& action) {
    NeedCoder(action.Coder);
    if (action.ActionId.empty()) throw TeamError(msg::kTeamNoActionId);
    Result r =
        db.impl().Exec("SELECT tarnwick.record_action($1, $2, $3, $4, $5, $6, $7)",
                       {action.ActionId, action.Coder, action.State.Record, action.State.Field,
                        action.State.ToCode, action.State.Code, action.AtMs});
    if (!r.Null(0, 0) && r.Int(0, 0) < 0)
        throw TeamError(msg::TeamNoSuchCase(action.State.Record, action.State.Field));
}

LevelAgreement Agreement(const std::vector<std::pair<std::string, std::string>>& pairs, int level) {
    LevelAgreement a;
    a.Pairs = static_cast<long long>(pairs.size());
    if (pairs.empty()) return a;
    const auto cut = [level](const std::string& code) {
        return code.substr(0, static_cast<size_t>(std::max(level, 0)));
    };
    // How often each category stands first and second, for the agreement expected by chance.
    std::map<std::string, std::pair<long long, long long>> margins;
    long long agree = 0;
    for (const auto& [first, second] : pairs) {
        const std::string a1 = cut(first), a2 = cut(second);
        agree += a1 == a2 ? 1 : 0;
        ++margins[a1].first;
        ++margins[a2].second;
    }
    const double n = static_cast<double>(pairs.size());
    const double po = static_cast<double>(agree) / n;
    double pe = 0;
    for (const auto& [category, m] : margins)
        pe += (static_cast<double>(m.first) / n) * (static_cast<double>(m.second) / n);
    a.Share = po;
    if (pe < 1 - 1e-12) a.Kappa = (po - pe) / (1 - pe);
    return a;
}

TeamStatus ReadStatus(Connection& db) {
    Connection::Impl& c = db.impl();
    TeamStatus s;
    {
        Result r = c.Exec(
            "SELECT count(*) FILTER (WHERE to_code), "
            "count(*) FILTER (WHERE to_code AND code <> ''), "
            "count(*) FILTER (WHERE double_coded), "
            "count(*) FILTER (WHERE double_coded AND code1 <> '' AND code2 <> ''), "
            "count(*) FILTER (WHERE double_coded AND code1 <> '' AND code2 <> '' "
            "AND code1 <> code2), "
            "count(*) FILTER (WHERE double_coded AND code1 <> '' AND code2 <> '' "
            "AND code1 <> code2 AND final_code IS NOT NULL), "
            "(SELECT count(*) FROM tarnwick.tasks "
            "WHERE claimed_by IS NOT NULL AND lease_until > now()), "
            "(SELECT count(*) FROM tarnwick.cases WHERE conflict), "
            "(SELECT count(*) FROM tarnwick.cases WHERE conflict AND final_code IS NOT NULL) "
            "FROM tarnwick.case_final");
        s.Cases = r.Int(0, 0);
        s.Coded = r.Int(0, 1);
        s.DoubleCases = r.Int(0, 2);
        s.DoubleDone = r.Int(0, 3);
        s.Disagreements = r.Int(0, 4);
        s.Settled = r.Int(0, 5);
        s.Claimed = r.Int(0, 6);
        s.Conflicts = r.Int(0, 7);
        s.ConflictsSettled = r.Int(0, 8);
    }
    {
        Result r = c.Exec(
            "WITH names AS ("
            " SELECT coder FROM tarnwick.tasks WHERE coder IS NOT NULL"
            " UNION SELECT coder FROM tarnwick.actions"
            " UNION SELECT claimed_by FROM tarnwick.tasks"
            " WHERE claimed_by IS NOT NULL AND lease_until > now()) "
            "SELECT n.coder, coalesce(t.codes, 0), coalesce(a.last_hour, 0), "
            " coalesce(a.actions, 0), coalesce(a.span, 0), coalesce(h.claimed, 0) "
            "FROM names n "
            "LEFT JOIN (SELECT coder, count(*) AS codes FROM tarnwick.tasks"
            " WHERE code <> '' AND coder IS NOT NULL GROUP BY coder) t USING (coder) "
            "LEFT JOIN (SELECT coder,"
            " count(*) FILTER (WHERE server_time > now() - interval '1 hour') AS last_hour,"
            " count(*) AS actions,"
            " extract(epoch FROM max(server_time) - min(server_time)) AS span"
            " FROM tarnwick.actions GROUP BY coder) a USING (coder) "
            "LEFT JOIN (SELECT claimed_by AS coder, count(*) AS claimed FROM tarnwick.tasks"
            " WHERE claimed_by IS NOT NULL AND lease_until > now() GROUP BY claimed_by) h"
            " USING (coder) "
            "ORDER BY n.coder");
        for (int i = 0; i < r.Rows(); ++i) {
            CoderProgress p;
            p.Coder = r.Text(i, 0);
            p.Codes = r.Int(i, 1);
            p.LastHour = r.Int(i, 2);
            // A coder's first minutes count as one whole minute, so that a few quick actions
            // do not read as thousands an hour.
            const double hours = std::max(r.Double(i, 4), 60.0) / 3600.0;
            p.PerHour = static_cast<double>(r.Int(i, 3)) / hours;
            p.Claimed = r.Int(i, 5);
            s.Coders.push_back(std::move(p));
        }
    }
    {
        Result r = c.Exec(
            "SELECT code1, code2 FROM tarnwick.case_final "
            "WHERE double_coded AND code1 <> '' AND code2 <> '' ORDER BY record, field");
        std::vector<std::pair<std::string, std::string>> pairs;
        for (int i = 0; i < r.Rows(); ++i) pairs.emplace_back(r.Text(i, 0), r.Text(i, 1));
        for (int level = 1; level <= 4; ++level)
            s.Levels[static_cast<size_t>(level - 1)] = Agreement(pairs, level);
    }
    return s;
}

std::vector<Disagreement> Disagreements(Connection& db) {
    // A conflict lists each code kept beside the one that stands, in the order they arrived.
    Result r = db.impl().Exec(
        "SELECT record, field, respondent_id, coder1, code1, coder2, code2, final, conflict "
        "FROM (SELECT record, field, respondent_id, coalesce(coder1, '') AS coder1, code1, "
        "coalesce(coder2, '') AS coder2, code2, coalesce(final_code, '') AS final, "
        "false AS conflict, 0::bigint AS number FROM tarnwick.case_final "
        "WHERE double_coded AND code1 <> '' AND code2 <> '' AND code1 <> code2 "
        "UNION ALL "
        "SELECT a.record, a.field, c.respondent_id, coalesce(t.coder, ''), t.code, a.coder, "
        "a.code, coalesce(c.final_code, ''), true, a.number "
        "FROM tarnwick.actions a "
        "JOIN tarnwick.cases c ON c.record = a.record AND c.field = a.field "
        "JOIN tarnwick.tasks t ON t.record = a.record AND t.field = a.field AND t.slot = 1 "
        "WHERE a.conflict AND c.conflict AND (a.code <> t.code OR a.to_code <> t.to_code)) d "
        "ORDER BY record, field, number");
    std::vector<Disagreement> list;
    for (int i = 0; i < r.Rows(); ++i) {
        Disagreement d;
        d.Record = static_cast<int>(r.Int(i, 0));
        d.Field = static_cast<int>(r.Int(i, 1));
        d.RespondentId = r.Text(i, 2);
        d.Coder1 = r.Text(i, 3);
        d.Code1 = r.Text(i, 4);
        d.Coder2 = r.Text(i, 5);
        d.Code2 = r.Text(i, 6);
        d.Final = r.Text(i, 7);
        d.Conflict = r.Bool(i, 8);
        list.push_back(std::move(d));
    }
    return list;
}

void Settle(Connection& db, int record, int field, const std::string& code,
            const std::string& supervisor) {
    NeedCoder(supervisor);
    Result r =
        db.impl().Exec("SELECT tarnwick.settle($1, $2, $3, $4)", {record, field, code, supervisor});
    if (!r.Bool(0, 0)) throw TeamError(msg::TeamNotToSettle(record, field));
}

}  // namespace tarnwick::team
