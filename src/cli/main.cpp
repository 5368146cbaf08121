// tavrin: the command-line front end (grows into the full scriptable tool).
#include <cstdio>
#include <cstring>
#include <string>

#include "core/Commands.h"
#include "core/Context.h"
#include "core/PortSetup.h"
#include "sim/SimBoard.h"

int main(int argc, char** argv) {
    using namespace tavrin;
    class StderrFrontEnd : public SilentFrontEnd {
    public:
        void message(const std::string& text, MessageKind) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    } ui;
    Context ctx(&ui);
    PortChoice choice;
    std::string error;
    for (int i = 1; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], "-p") && !ParsePortChoice(argv[i + 1], choice, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
    OpenedPort opened = OpenPort(choice, 0);
    if (!opened.error.empty()) std::fprintf(stderr, "%s\n", opened.error.c_str());
    ctx.setPort(std::move(opened.port));
    ctx.bus.PowerDown();
    const int result = mnuTestClick(ctx);
    ctx.bus.PowerDown();
    return result == 0 ? 0 : 3;
}
