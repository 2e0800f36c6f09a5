#pragma once
#include "core/String.h"

// What the install steps report: the detailed log (what was done) and the error report
// (what went wrong). Steps never roll back; a failure adds its line to the error
// report and the installation goes on. The error report alone decides whether the
// installation counts as successful. The finishing steps write both into Install.LOG.
class InstallLog {
public:
    void AddDetail(const String& line) { AddLine(m_details, line); }
    void AddError(const String& line) { AddLine(m_errors, line); }

    const String& Details() const { return m_details; }
    const String& Errors() const { return m_errors; }
    bool Succeeded() const { return m_errors.IsEmpty(); }

private:
    static void AddLine(String& text, const String& line)
    {
        text.Append(line);
        text.Append("\r\n");
    }

    String m_details;
    String m_errors;
};
