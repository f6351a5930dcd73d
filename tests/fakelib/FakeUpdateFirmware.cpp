// A stand-in for the outside firmware update library, built by the tests into their program
// folder. Its behaviour is set through environment variables read on every call:
//   FAKE_UPDATE_LOAD_RESULT   result of LoadUpdateFile (default 0)
//   FAKE_UPDATE_START_RESULT  result of StartUpdateProcess (default 0)
//   FAKE_UPDATE_STATES        states reported during the update, e.g. "0", "3", "0,5", "" (none)
//   FAKE_UPDATE_PERCENTS      percentages reported before the states, e.g. "10,50,100"
//   FAKE_UPDATE_OWN_THREAD    "1": the callbacks are made from a thread of the library's own
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {
using Callback = void (*)(int);
Callback g_message = nullptr;
Callback g_state = nullptr;
Callback g_percent = nullptr;
std::string g_lastFile;
int g_loadCalls = 0;
int g_startCalls = 0;

int EnvInt(const char *name, int fallback)
{
    const char *v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

std::vector<int> EnvList(const char *name)
{
    std::vector<int> out;
    const char *v = std::getenv(name);
    while (v && *v) {
        out.push_back(std::atoi(v));
        v = std::strchr(v, ',');
        if (v)
            ++v;
    }
    return out;
}

void Report()
{
    if (g_message)
        g_message(1);
    for (int p : EnvList("FAKE_UPDATE_PERCENTS"))
        if (g_percent)
            g_percent(p);
    for (int s : EnvList("FAKE_UPDATE_STATES"))
        if (g_state)
            g_state(s);
}
}

extern "C" {
__attribute__((visibility("default"))) void OutputMessageCallBack(Callback cb) { g_message = cb; }
__attribute__((visibility("default"))) void UpdateProcessCallBack(Callback cb) { g_state = cb; }
__attribute__((visibility("default"))) void OutputProcPercentCallBack(Callback cb) { g_percent = cb; }

__attribute__((visibility("default"))) int LoadUpdateFile(const char *path)
{
    ++g_loadCalls;
    g_lastFile = path ? path : "";
    return EnvInt("FAKE_UPDATE_LOAD_RESULT", 0);
}

__attribute__((visibility("default"))) int StartUpdateProcess()
{
    ++g_startCalls;
    if (EnvInt("FAKE_UPDATE_OWN_THREAD", 0) == 1) {
        std::thread worker(Report);
        worker.join();
    } else {
        Report();
    }
    return EnvInt("FAKE_UPDATE_START_RESULT", 0);
}

// What the tests read back.
__attribute__((visibility("default"))) const char *FakeUpdateLastFile() { return g_lastFile.c_str(); }
__attribute__((visibility("default"))) int FakeUpdateLoadCalls() { return g_loadCalls; }
__attribute__((visibility("default"))) int FakeUpdateStartCalls() { return g_startCalls; }
}
