// The session console itself, `tarnwick-cli session`, on the demo project (copied to a scratch
// folder, so that saves never touch the repository): the input is the stream of commands that
// follows the console's own "open" of the demo. The console keeps its session to itself; the
// invariants of the operations it calls are checked by the session target, which drives the same
// operations. Here every input must be taken without a crash, the project must stay open, and the
// exit code must be one of the console's own.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "cli/commands.h"
#include "fuzz_common.h"

using namespace tarnwick::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& dir = DemoCopy();
    RemoveFilesExcept(dir, kDemoFiles);
    std::istringstream in("open " + dir + "demo.zpa " + dir + "demo.clf " + dir + "demo.dat\n" +
                          std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out;
    std::ostringstream err;
    const int code = tarnwick::cli::SessionConsole(in, out, err);
    FUZZ_CHECK(code == tarnwick::cli::kOk || code == tarnwick::cli::kFaults);
    const std::string printed = out.str();
    FUZZ_CHECK(printed.find("error: no project is open") == std::string::npos);
    FUZZ_CHECK(err.str().empty());  // the demo opens without faults
    return 0;
}
