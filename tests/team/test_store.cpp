// The team store on a real PostgreSQL cluster (tests/team/pg_cluster.sh, started by CTest):
// each test makes a database of its own.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "core/project/safekeeping.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "support/scripted_platform.h"
#include "team/opening.h"
#include "team/pg.h"
#include "team/project.h"
#include "team/store.h"
#include "team/team_texts.h"

namespace tarnwick::team {
namespace {

// The server's connection line, from the folder the CTest fixture started it in.
std::string ServerConninfo() {
    const char* dir = std::getenv("TARNWICK_TEST_PG_DIR");
    if (!dir) return "";
    std::ifstream in(std::string(dir) + "/conninfo");
    std::string line;
    std::getline(in, line);
    return line;
}

// A new, empty database: the statements are the test's own constants.
std::string FreshDatabase(const char* drop, const char* create, const char* name) {
    Connection admin(ServerConninfo());
    admin.impl().Exec(drop);
    admin.impl().Exec(create);
    return ServerConninfo() + " dbname=" + name;
}

#define NEED_SERVER()             \
    if (ServerConninfo().empty()) \
    GTEST_SKIP() << "TARNWICK_TEST_PG_DIR names no running cluster (run through ctest)"

ProjectFiles Files() {
    return {"demo.zpa", std::string("P\0\r\n\x8a", 5), "isco.kat", "C\\\t", "demo.dat", "D",
            "isco.clp", std::string("#\0\x8a", 3),     {}};
}

// Cases numbered 0..n-1 in record order, one field each, all to code and without code.
std::vector<CaseState> Cases(int n) {
    std::vector<CaseState> cases;
    for (int i = 0; i < n; ++i) cases.push_back({i, 0, true, 'R' + std::to_string(i), ""});
    return cases;
}

std::set<std::pair<int, int>> DoubleCases(Connection& db) {
    Result r = db.impl().Exec("SELECT record, field FROM tarnwick.cases WHERE double_coded");
    std::set<std::pair<int, int>> set;
    for (int i = 0; i < r.Rows(); ++i)
        set.emplace(static_cast<int>(r.Int(i, 0)), static_cast<int>(r.Int(i, 1)));
    return set;
}

TEST(TeamStore, InitRoundTripsMigratesOnceAndRefusesASecondProject) {
    NEED_SERVER();
    const std::string info = FreshDatabase("DROP DATABASE IF EXISTS tw_init WITH (FORCE)",
                                           "CREATE DATABASE tw_init", "tw_init");
    {
        // Two programs starting at once: one migrates, the other finds it done.
        std::vector<std::string> faults(2);
        std::vector<std::thread> starts;
        for (int i = 0; i < 2; ++i)
            starts.emplace_back([&, i] {
                try {
                    Connection db(info);
                    Migrate(db);
                } catch (const TeamError& e) {
                    faults[static_cast<size_t>(i)] = e.what();
                }
            });
        for (std::thread& t : starts) t.join();
        EXPECT_EQ(faults, std::vector<std::string>(2));
    }
    Connection db(info);
    EXPECT_EQ(SchemaVersion(db), kSchemaVersion);
    Migrate(db);
    EXPECT_EQ(SchemaVersion(db), kSchemaVersion);

    // Bytes that COPY and the encodings could bend: a tab, a backslash, a Windows-1250 letter.
    const std::vector<CaseState> cases = {{0, 0, true, "A\t1\\", "2310"},
                                          {0, 1, false, "A\t1\\", ""},
                                          {1, 0, true, "B\x8a", ""},
                                          {2, 0, true, "C", "9"},
                                          {3, 0, true, "D", ""}};
    InitProject(db, Files(), cases, 0.5, 42);
    const ProjectFiles files = ReadProjectFiles(db);
    EXPECT_EQ(files.ParamsBytes, Files().ParamsBytes);
    EXPECT_EQ(files.ClassificationBytes, Files().ClassificationBytes);
    EXPECT_EQ(files.ProfileBytes, Files().ProfileBytes);
    EXPECT_EQ(files.DataName, "demo.dat");
    long long unsettled = -1;
    EXPECT_EQ(FinalStates(db, &unsettled), cases);
    EXPECT_EQ(unsettled, 0);
    // Half of the four cases to code, and never the one not to code.
    const auto doubles = DoubleCases(db);
    EXPECT_EQ(doubles.size(), 2u);
    EXPECT_EQ(doubles.count({0, 1}), 0u);

    try {
        InitProject(db, Files(), cases, 0.5, 42);
        ADD_FAILURE() << "a second project was loaded";
    } catch (const TeamError& e) {
        EXPECT_STREQ(e.what(), msg::kTeamProjectExists);
    }
}

TEST(TeamStore, ConcurrentCodersNeverShareATaskAndDisagreementsAreSettled) {
    NEED_SERVER();
    const std::string info = FreshDatabase("DROP DATABASE IF EXISTS tw_claims WITH (FORCE)",
                                           "CREATE DATABASE tw_claims", "tw_claims");
    Connection db(info);
    InitProject(db, Files(), Cases(40), 0.5, 7);
    const auto doubles = DoubleCases(db);
    ASSERT_EQ(doubles.size(), 20u);

    // A lease that has run out gives the case to the next coder.
    const auto first = ClaimNext(db, "cat", 0);
    ASSERT_TRUE(first);
    const auto again = ClaimNext(db, "dan");
    ASSERT_TRUE(again);
    EXPECT_EQ(std::make_pair(again->Record, again->Field),
              std::make_pair(first->Record, first->Field));
    ReleaseClaims(db, "dan");

    // Two coders take the next case as fast as they can; ann codes 1111, bob 1112.
    struct Coder {
        std::string Name, Code, Fault;
        std::vector<std::pair<int, int>> Coded;
    };
    std::vector<Coder> coders = {{"ann", "1111", "", {}}, {"bob", "1112", "", {}}};
    std::vector<std::thread> threads;
    for (Coder& c : coders)
        threads.emplace_back([&info, &c] {
            try {
                Connection own(info);
                // Bounded, so that a claim handed out again fails the test instead of hanging.
                for (int n = 0; n < 100; ++n) {
                    const auto claim = ClaimNext(own, c.Name);
                    if (!claim) break;
                    c.Coded.emplace_back(claim->Record, claim->Field);
                    RecordAction(own, {c.Name + std::to_string(n),
                                       c.Name,
                                       {claim->Record, claim->Field, true, "", c.Code},
                                       0});
                }
            } catch (const TeamError& e) {
                c.Fault = e.what();
            }
        });
    for (std::thread& t : threads) t.join();
    std::multiset<std::pair<int, int>> all;
    for (const Coder& c : coders) {
        EXPECT_EQ(c.Fault, "");
        const std::set<std::pair<int, int>> own(c.Coded.begin(), c.Coded.end());
        EXPECT_EQ(own.size(), c.Coded.size()) << c.Name << " got a case twice";
        all.insert(c.Coded.begin(), c.Coded.end());
    }
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(all.count({i, 0}), doubles.count({i, 0}) ? 2u : 1u) << "case " << i;

    const TeamStatus status = ReadStatus(db);
    EXPECT_EQ(status.Coded, 40);
    EXPECT_EQ(status.Claimed, 0);
    EXPECT_EQ(status.DoubleDone, 20);
    EXPECT_EQ(status.Disagreements, 20);
    EXPECT_EQ(status.Levels[2].Share, 1.0);
    EXPECT_EQ(status.Levels[3].Share, 0.0);
    ASSERT_EQ(status.Coders.size(), 2u);
    EXPECT_EQ(status.Coders[0].Codes + status.Coders[1].Codes, 60);

    const std::vector<Disagreement> list = Disagreements(db);
    ASSERT_EQ(list.size(), 20u);
    const Disagreement& d = list[3];
    EXPECT_NE(d.Coder1, d.Coder2);
    Settle(db, d.Record, d.Field, "9999", "sue");
    EXPECT_EQ(Disagreements(db)[3].Final, "9999");
    long long unsettled = 0;
    std::vector<std::optional<Provenance>> origins;
    const std::vector<CaseState> states = FinalStates(db, &unsettled, &origins);
    EXPECT_EQ(unsettled, 19);
    EXPECT_EQ(states[static_cast<size_t>(d.Record)].Code, "9999");
    int single = 0;
    while (doubles.count({single, 0})) ++single;
    EXPECT_THROW(Settle(db, single, 0, "9999", "sue"), TeamError);
    // The settled case's code is the supervisor's, a single case's its coder's.
    ASSERT_EQ(origins.size(), states.size());
    const auto& settled = origins[static_cast<size_t>(d.Record)];
    const auto& coded = origins[static_cast<size_t>(single)];
    ASSERT_TRUE(settled && coded);
    EXPECT_EQ(settled->origin.source, CodeSource::Supervisor);
    EXPECT_EQ(settled->coder, "sue");
    EXPECT_GT(settled->when, 0);
    EXPECT_EQ(coded->origin.source, CodeSource::Coder);
    EXPECT_EQ(coded->coder, states[static_cast<size_t>(single)].Code == "1111" ? "ann" : "bob");
}

TEST(TeamStore, ACodeTakenBackOffersTheCaseToTheNextClaim) {
    NEED_SERVER();
    const std::string info = FreshDatabase("DROP DATABASE IF EXISTS tw_back WITH (FORCE)",
                                           "CREATE DATABASE tw_back", "tw_back");
    Connection db(info);
    InitProject(db, Files(), Cases(6), 0.0, 3);
    const auto first = ClaimNext(db, "ann");
    const auto ahead = ClaimNext(db, "bob");
    ASSERT_TRUE(first && ahead);
    RecordAction(db, {"b1", "bob", {ahead->Record, ahead->Field, true, "R", "5120"}, 500});
    RecordAction(db, {"a1", "ann", {first->Record, first->Field, true, "R", "2310"}, 1000});
    RecordAction(db, {"a2", "ann", {first->Record, first->Field, true, "R", ""}, 2000});
    // Behind bob's position, yet his next claim.
    const auto next = ClaimNext(db, "bob");
    ASSERT_TRUE(next);
    EXPECT_EQ(std::make_pair(next->Record, next->Field),
              std::make_pair(first->Record, first->Field));
}

TEST(TeamStore, ActionsCountOnceAndChangesHideOwnAndDoubleCodedCases) {
    NEED_SERVER();
    const std::string info = FreshDatabase("DROP DATABASE IF EXISTS tw_changes WITH (FORCE)",
                                           "CREATE DATABASE tw_changes", "tw_changes");
    Connection db(info);
    InitProject(db, Files(), Cases(6), 0.5, 3);
    const auto doubles = DoubleCases(db);
    std::vector<int> single, dbl;
    for (int i = 0; i < 6; ++i) (doubles.count({i, 0}) ? dbl : single).push_back(i);
    ASSERT_EQ(dbl.size(), 3u);

    long long last = -1;
    CoderStates(db, "bob", last);
    EXPECT_EQ(last, 0);
    const CodingAction a1 = {"a1", "ann", {single[0], 0, true, "R", "2310"}, 1000};
    RecordAction(db, a1);
    // The server ends the connection: the action is kept by the caller and sent again.
    Connection admin(ServerConninfo());
    admin.impl().Exec("SELECT pg_terminate_backend($1)", {PQbackendPID(db.impl().conn)});
    EXPECT_THROW(RecordAction(db, a1), ConnectionLost);
    EXPECT_FALSE(db.Alive());
    ASSERT_TRUE(db.Reset());
    RecordAction(db, a1);
    RecordAction(db, {"a2", "ann", {dbl[0], 0, true, "R", "5120"}, 2000});
    RecordAction(db, {"b1", "bob", {single[1], 0, false, "R", ""}, 3000});
    EXPECT_THROW(RecordAction(db, {"a3", "ann", {99, 0, true, "R", "1"}, 0}), TeamError);
    EXPECT_EQ(db.impl().Exec("SELECT count(*) FROM tarnwick.actions").Int(0, 0), 3);

    const std::vector<RemoteChange> forBob = ChangesSince(db, "bob", last);
    ASSERT_EQ(forBob.size(), 1u);
    EXPECT_EQ(forBob[0].Coder, "ann");
    EXPECT_EQ(forBob[0].State.Record, single[0]);
    EXPECT_EQ(forBob[0].State.Code, "2310");
    EXPECT_EQ(forBob[0].State.RespondentId, 'R' + std::to_string(single[0]));
    EXPECT_TRUE(ChangesSince(db, "bob", forBob[0].Number).empty());
    const std::vector<RemoteChange> forAnn = ChangesSince(db, "ann", 0);
    ASSERT_EQ(forAnn.size(), 1u);
    EXPECT_FALSE(forAnn[0].State.ToCode);

    // Blind coding: bob does not see ann's code of the double-coded case; ann does.
    const auto bobSees = CoderStates(db, "bob", last);
    const auto annSees = CoderStates(db, "ann", last);
    EXPECT_EQ(last, db.impl().Exec("SELECT max(number) FROM tarnwick.actions").Int(0, 0));
    EXPECT_EQ(bobSees[static_cast<size_t>(dbl[0])].Code, "");
    EXPECT_EQ(annSees[static_cast<size_t>(dbl[0])].Code, "5120");
    EXPECT_EQ(bobSees[static_cast<size_t>(single[0])].Code, "2310");
    // The first code given stands until the second coder agrees or the supervisor settles.
    EXPECT_EQ(FinalStates(db)[static_cast<size_t>(dbl[0])].Code, "5120");

    // An action that commits after a later one: neither shows before both are in, so a client
    // that moves past the later number never misses the earlier.
    const long long seen = forBob[0].Number;
    Connection slow(info);
    slow.impl().Exec("BEGIN");
    RecordAction(slow, {"s1", "ann", {single[2], 0, true, "R", "7000"}, 0});
    RecordAction(db, {"s2", "ann", {single[1], 0, true, "R", "7100"}, 0});
    EXPECT_TRUE(ChangesSince(db, "bob", seen).empty());
    slow.impl().Exec("COMMIT");
    EXPECT_EQ(ChangesSince(db, "bob", seen).size(), 2u);
}

// Two coders offline on the same single-coded case: the code that reached the server first
// stands; the other, given before it arrived, is kept as a conflict, reaches no coder, and holds
// the case for the supervisor. A code given after the standing one replaces it as before.
TEST(TeamStore, CodesGivenApartAreKeptAsConflictsForTheSupervisor) {
    NEED_SERVER();
    const std::string info = FreshDatabase("DROP DATABASE IF EXISTS tw_conflict WITH (FORCE)",
                                           "CREATE DATABASE tw_conflict", "tw_conflict");
    Connection db(info);
    InitProject(db, Files(), Cases(3), 0.0, 1);
    const long long past = 1000;  // long before anything reached the server
    const long long now =
        db.impl().Exec("SELECT (extract(epoch FROM now()) * 1000)::bigint").Int(0, 0) + 60000;
    RecordAction(db, {"a1", "ann", {0, 0, true, "R0", "2310"}, past});
    RecordAction(db, {"b1", "bob", {0, 0, true, "R0", "5120"}, past});
    RecordAction(db, {"c1", "cat", {0, 0, true, "R0", "2310"}, past});  // agrees: no conflict
    RecordAction(db, {"b1", "bob", {0, 0, true, "R0", "5120"}, past});  // sent again
    RecordAction(db, {"b2", "bob", {1, 0, true, "R1", "7000"}, past});
    RecordAction(db, {"a2", "ann", {1, 0, true, "R1", "7100"}, now});  // after bob's: replaces

    long long unsettled = 0;
    std::vector<CaseState> states = FinalStates(db, &unsettled);
    EXPECT_EQ(states[0].Code, "2310");
    EXPECT_EQ(states[1].Code, "7100");
    EXPECT_EQ(unsettled, 1);
    for (const RemoteChange& c : ChangesSince(db, "dan", 0)) EXPECT_NE(c.State.Code, "5120");
    const std::vector<Disagreement> list = Disagreements(db);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(list[0].Conflict);
    EXPECT_EQ(list[0].Coder1 + list[0].Code1 + list[0].Coder2 + list[0].Code2, "ann2310bob5120");
    TeamStatus status = ReadStatus(db);
    EXPECT_EQ(status.Conflicts, 1);

    Settle(db, 0, 0, "5120", "sue");
    states = FinalStates(db, &unsettled);
    EXPECT_EQ(states[0].Code, "5120");
    EXPECT_EQ(unsettled, 0);
    EXPECT_EQ(ReadStatus(db).ConflictsSettled, 1);
    EXPECT_THROW(Settle(db, 2, 0, "9999", "sue"), TeamError);
}

TEST(TeamStore, ACoderRoleCodesOnlyThroughTheFunctions) {
    NEED_SERVER();
    const std::string info = FreshDatabase("DROP DATABASE IF EXISTS tw_roles WITH (FORCE)",
                                           "CREATE DATABASE tw_roles", "tw_roles");
    {
        Connection owner(info);
        InitProject(owner, Files(), Cases(4), 0.5, 1);
        owner.impl().Exec("DROP ROLE IF EXISTS tw_test_coder");
        owner.impl().Exec("CREATE ROLE tw_test_coder LOGIN IN ROLE tarnwick_coder");
    }
    Connection coder(info + " user=tw_test_coder");
    EXPECT_EQ(ReadProjectFiles(coder).DataBytes, "D");
    const auto claim = ClaimNext(coder, "ann");
    ASSERT_TRUE(claim);
    RecordAction(coder, {"x1", "ann", {claim->Record, claim->Field, true, "R", "1"}, 0});
    long long last = 0;
    EXPECT_EQ(CoderStates(coder, "ann", last).size(), 4u);
    EXPECT_THROW(coder.impl().Exec("UPDATE tarnwick.tasks SET code = '2'"), TeamError);
    EXPECT_THROW(coder.impl().Exec("SELECT count(*) FROM tarnwick.actions"), TeamError);
    EXPECT_THROW(Settle(coder, claim->Record, claim->Field, "2", "ann"), TeamError);
    EXPECT_THROW(ReadStatus(coder), TeamError);
    EXPECT_TRUE(coder.Alive());
}

// The window and the console open a team project through this one operation: the report says
// who codes, and a database that cannot be reached is a fault message, not an error page.
TEST(TeamOpening, OpensTheCoderCopyAndTellsADatabaseFault) {
    NEED_SERVER();
    const std::string info = FreshDatabase("DROP DATABASE IF EXISTS tw_open WITH (FORCE)",
                                           "CREATE DATABASE tw_open", "tw_open");
    const std::string demo = TARNWICK_DEMO;
    std::vector<std::string> faults;
    const auto project =
        ReadProjectOnDisk(demo + "/demo.zpa", demo + "/demo.clf", demo + "/demo.dat", faults);
    ASSERT_TRUE(project) << (faults.empty() ? "" : faults.front());
    {
        Connection db(info);
        Migrate(db);
        InitProject(db, project->Files, project->Cases, 0.0, 1);
    }
    const std::string folder = std::filesystem::temp_directory_path() / "tarnwick-test-opening";
    std::filesystem::remove_all(folder);

    ScriptedPlatform platform;
    Session session(platform);
    OpenedTeamProject opened = OpenTeamProject(session, {info, "", "alice", folder});
    ASSERT_TRUE(opened.link);
    EXPECT_FALSE(opened.databaseFault);
    EXPECT_TRUE(session.SessionStarted);
    EXPECT_EQ(session.Sync, opened.link.get());
    EXPECT_EQ(session.Report.back(), msg::TeamOpenedAs("alice"));
    EXPECT_TRUE(session.ErrorLines.empty());
    opened.link->Detach();
    ReleaseProject(session);

    ScriptedPlatform elsewhere;
    Session nowhere(elsewhere);
    opened = OpenTeamProject(nowhere, {"host=/nonexistent dbname=none", "", "bob", folder});
    EXPECT_FALSE(opened.link);
    EXPECT_TRUE(opened.databaseFault);
    EXPECT_EQ(elsewhere.severities, std::vector<Severity>{Severity::Fault});
    EXPECT_FALSE(nowhere.SessionStarted);
    EXPECT_EQ(nowhere.FrontPage, Page::None);
    std::filesystem::remove_all(folder);
}

TEST(TeamAgreement, KappaEqualsAHandComputation) {
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"1234", "1299"}, {"1200", "1200"}, {"2100", "2100"},
        {"2200", "1200"}, {"3000", "3000"}, {"1100", "2100"}};
    // Level 1: (1,1) (1,1) (2,2) (2,1) (3,3) (1,2). po = 4/6. First coder 1:3 2:2 3:1, second
    // 1:3 2:2 3:1: pe = (9 + 4 + 1) / 36 = 14/36. kappa = (24/36 - 14/36) / (22/36) = 10/22.
    LevelAgreement a = Agreement(pairs, 1);
    EXPECT_EQ(a.Pairs, 6);
    EXPECT_DOUBLE_EQ(a.Share, 4.0 / 6);
    ASSERT_TRUE(a.Kappa);
    EXPECT_DOUBLE_EQ(*a.Kappa, 10.0 / 22);
    // Level 2: 12 12 21 22 30 11 against 12 12 21 12 30 21. po = 4/6. First 12:2 21:1 22:1
    // 30:1 11:1, second 12:3 21:2 30:1: pe = (2*3 + 1*2 + 1*1) / 36 = 9/36.
    // kappa = (24/36 - 9/36) / (27/36) = 15/27.
    EXPECT_DOUBLE_EQ(*Agreement(pairs, 2).Kappa, 15.0 / 27);
    // Level 4: three pairs agree, po = 3/6; the second coder has 1200 and 2100 twice:
    // pe = (1*2 + 1*2 + 1*1) / 36 = 5/36; kappa = (18/36 - 5/36) / (31/36) = 13/31.
    a = Agreement(pairs, 4);
    EXPECT_DOUBLE_EQ(a.Share, 0.5);
    EXPECT_DOUBLE_EQ(*a.Kappa, 13.0 / 31);
    // One category only: chance agrees as well as the coders, and kappa is undefined.
    EXPECT_FALSE(Agreement({{"1", "1"}, {"1", "1"}}, 1).Kappa);
    EXPECT_EQ(Agreement({}, 1).Pairs, 0);
}

}  // namespace
}  // namespace tarnwick::team
