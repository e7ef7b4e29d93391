#include <iostream>
#include <string>
#include <vector>

#include "tool_main.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return kestra::tool::runTool(arguments, std::cout, std::cerr);
}
