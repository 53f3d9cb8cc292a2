// The sizes the clone benchmark runs at, shared by the cases and the tables printed after them.
#pragma once

#include <string>

namespace clonebench {

struct MeshSize {
    int vertices, columns, rows;
};
const MeshSize kSizes[] = {{10000, 100, 100}, {100000, 400, 250}, {1000000, 1000, 1000}};
const int kCopies[] = {10, 100};
struct TypingCase {
    int vertices, copies;
};
const TypingCase kTyping[] = {{10000, 10}, {100000, 100}}; // 100 thousand and 10 million out

// A case's size in its name and in the tables: "vertices/copies".
inline std::string size_key(int vertices, int copies) {
    return std::to_string(vertices) + "/" + std::to_string(copies);
}

} // namespace clonebench
