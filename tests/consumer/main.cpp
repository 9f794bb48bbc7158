#include <kavrin/tzvParser.h>

#include <cstdio>

// A program that writes ticket files checks one before handing it on.
int main(int argc, char** argv)
{
    tzvParser parser;
    parser.fileName = argc > 1 ? argv[1] : "";
    parser.check();
    std::printf("%s|%s\n", parser.message.empty() ? "korrekt" : parser.message.c_str(), parser.code.c_str());
    return parser.message.empty() ? 0 : 1;
}
