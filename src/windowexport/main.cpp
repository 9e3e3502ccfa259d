#include <string>

#include "windowexport/window_export_run.hpp"

int main(int argc, char** argv) {
    std::string commandText;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            commandText.push_back(' ');
        }
        commandText += argv[i];
    }
    return rill::RunWindowExport(commandText);
}
