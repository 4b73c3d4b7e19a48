// A program outside the tree: only the umbrella header, only the installed library.
#include <kestrix/csr.h>

#include <cstdio>

int main() {
    auto log = LogMsg::Instance();
    if (!log->checkMsgLevel(LogMsg::ERROR)) return 1;
    cpu* dispatcher = cpu::access();
    // No interface registered yet: reads yield the fill word.
    if (dispatcher->read(0, 0x1000, false, 0) != 0xdeadbeefu) return 2;
    std::printf("consumer ok\n");
    return 0;
}
