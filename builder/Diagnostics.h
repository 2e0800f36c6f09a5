#pragma once
#include <string>
#include <vector>

// The builder's complaints about a manifest. Each names the manifest file, the line, the
// table and the field, so that one look at the message finds the problem:
//
//   manifest.toml:12: [files.docs] destination: unknown destination "sytem" (expected ...)
//
// All problems are collected and printed together; nothing is written while any exist.
struct Diagnostic {
    std::string file;
    int line = 0;          // 0 when the problem belongs to no single line
    std::string table;     // "[files.docs]", "[[associations]] #2", or empty
    std::string field;     // the key, or empty
    std::string message;

    std::string Text() const;
};

class Diagnostics {
public:
    void Add(Diagnostic diagnostic) { m_items.push_back(std::move(diagnostic)); }
    bool Empty() const { return m_items.empty(); }
    const std::vector<Diagnostic>& Items() const { return m_items; }
    // Every message, one per line.
    std::string Text() const;

private:
    std::vector<Diagnostic> m_items;
};
