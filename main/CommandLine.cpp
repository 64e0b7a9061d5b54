#include "main/CommandLine.h"

#include "main/Version.h"

#include <cstring>

CommandLineRequest ReadCommandLine(int argc, const char *const *argv) {
    if (argc <= 1) {
        return CommandLineRequest::Run;
    }
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        return CommandLineRequest::Help;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        return CommandLineRequest::Version;
    }
    return CommandLineRequest::Refused;
}

std::string UsageText() {
    return "Usage: quillane [--help | --version]\n"
           "Writes bank checks and prints them onto pre-printed check forms.\n"
           "\n"
           "  --help     show this text and exit\n"
           "  --version  show the version and exit\n"
           "\n"
           "Started without arguments, Quillane opens its windows. An installed copy keeps its files\n"
           "(DraftMere.txt, TempRegister.txt) in ~/.local/share/Orvantis/Quillane/; a portable copy\n"
           "keeps them beside the executable when it may write there.\n";
}

std::string VersionText() {
    return std::string("Quillane ") + ProgramVersion + "\n";
}

namespace {

bool writeAll(std::FILE *stream, const std::string &text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    return std::fflush(stream) == 0 && written && !std::ferror(stream);
}

} // namespace

int AnswerCommandLine(CommandLineRequest request, std::FILE *out, std::FILE *err) {
    switch (request) {
    case CommandLineRequest::Help:
        return writeAll(out, UsageText()) ? 0 : 1;
    case CommandLineRequest::Version:
        return writeAll(out, VersionText()) ? 0 : 1;
    case CommandLineRequest::Refused:
    case CommandLineRequest::Run:
        break;
    }
    writeAll(err, UsageText());
    return 2;
}
