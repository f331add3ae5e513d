#pragma once
// What a report writer wrote, read back from a temporary file.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace planner {

template <class Write> std::string written(Write write)
{
    std::FILE* file = std::tmpfile();
    if (!file) {
        ADD_FAILURE() << "no temporary file";
        return {};
    }
    write(file);
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[65536];
    for (std::size_t got = 0; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, got);
    std::fclose(file);
    return text;
}

} // namespace planner
