#pragma once
// --json and --json-events: one result object when the command ends, and one line per message,
// gauge and percent of progress while it runs. Lines go to standard output, or to standard error
// when standard output carries an image.

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "core/RunWatch.h"

namespace tavrin::cli {

class JsonReport {
  public:
    JsonReport(bool result, bool events) : result_(result), events_(events) {}

    bool wanted() const { return result_; }
    // Event lines for what `watcher` sees from now on.
    void follow(WatchingFrontEnd& watcher);
    // Standard output carries the command's data: the lines go to standard error.
    void divertToStderr() { stderr_ = true; }
    // Fields of the command's own (the ID codes, checksums, a hint) merged into the result.
    nlohmann::ordered_json& fields() { return fields_; }

    struct Run {
        std::string command;
        std::string device;     // empty: none selected
        int status = 0;         // the exit status
        std::string complaint;  // the tool's own refusal, when the command did not run
        const WatchingFrontEnd* watcher = nullptr;
        std::optional<double> boardTimeUs;
    };
    // The result object, printed when --json asked for it.
    void finish(const Run& run);
    static nlohmann::ordered_json resultObject(const Run& run,
                                               const nlohmann::ordered_json& fields);

  private:
    std::ostream& out() const;

    bool result_;
    bool events_;
    bool stderr_ = false;
    nlohmann::ordered_json fields_ = nlohmann::ordered_json::object();
};

// The outcome word of an exit status: "passed", "failed", "usage", "no-hardware", "cancelled".
const char* OutcomeName(int status);

}  // namespace tavrin::cli
