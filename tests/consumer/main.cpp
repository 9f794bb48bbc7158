#include <kavrin/kavrin.h>
#include <kavrin/tzvParser.h>

#include <cstdio>
#include <string>

// A program that writes ticket files checks one before handing it on, by the
// function and by the class with fields; both must say the same.
int main(int argc, char** argv)
{
    const std::string name = argc > 1 ? argv[1] : "";
    const kavrin::result found = kavrin::check(kavrin::source::file(name));
    tzvParser parser;
    parser.fileName = name;
    parser.check();
    const kavrin::violation* first = found.first();
    if ((first ? first->message : std::string()) != parser.message)
        return 2;
    std::printf("%s|%s\n", first ? first->message.c_str() : "korrekt", parser.code.c_str());
    return found.valid() ? 0 : 1;
}
