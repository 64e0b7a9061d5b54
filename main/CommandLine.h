#pragma once

#include <cstdio>
#include <string>

// What the command line asks for. The program takes no options besides its two answers: started
// without arguments it runs; anything else is refused.
enum class CommandLineRequest { Run, Help, Version, Refused };

CommandLineRequest ReadCommandLine(int argc, const char *const *argv);

// The usage text, "--help"'s answer and the refusal's explanation.
std::string UsageText();
// "Quillane 2.0.0" and a line end.
std::string VersionText();

// Answers every request but Run without any window or display: --help and --version on out with
// status 0, a refusal with the usage on err and status 2. Status 1 when out cannot take the answer.
int AnswerCommandLine(CommandLineRequest request, std::FILE *out, std::FILE *err);
