#pragma once

#include <optional>
#include <string>

// How a transfer ends: the one report it makes, the detail behind it (shown beside the report),
// and the result the operation returns.
struct TransferEnd {
    enum class Report { kError, kMessage, kNone };

    Report report = Report::kNone;
    std::string text;
    std::string detail;
    bool result = true;

    // Refused before the copy, or ended by an I/O error: an error report, result false.
    static TransferEnd Failed(std::string text, std::string detail) {
        return {Report::kError, std::move(text), std::move(detail), false};
    }
    // Stopped by the operator: an error report, result true.
    static TransferEnd Stopped(std::string text, std::string detail) {
        return {Report::kError, std::move(text), std::move(detail), true};
    }
    // Ran to its end with a message ("Finished"), result true.
    static TransferEnd Done(std::string text, std::string detail) {
        return {Report::kMessage, std::move(text), std::move(detail), true};
    }
    // Ran to its end without a report, result true.
    static TransferEnd Silent() { return {}; }
};

// What one step of a transfer leaves: nothing when the transfer goes on, otherwise its end.
using StepEnd = std::optional<TransferEnd>;
