#include "runrecord.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "outfile.h"

namespace {

using json = nlohmann::ordered_json;

constexpr int schemaversion = 1;

template <typename T>
json ornull(const std::optional<T>& v)
{
    return v ? json(*v) : json(nullptr);
}

json group(const grouprecord& g)
{
    return {{"number", g.number}, {"name", ornull(g.name)}, {"taxa", ornull(g.taxa)}};
}

json notes(const std::vector<replicatenote>& list)
{
    json a = json::array();
    for (const replicatenote& n : list)
        a.push_back({{"replicates", n.replicates}, {"reason", n.reason}});
    return a;
}

}  // namespace

std::string recordtext(const runrecord& r, const std::string& date)
{
    json groups = json::array();
    for (const grouprecord& g : r.groups)
        groups.push_back(group(g));
    json parts = json::array();
    for (const partrecord& p : r.parts)
        parts.push_back({{"part", p.part},
                         {"of", p.parts},
                         {"replicates", {p.first, p.last}},
                         {"run_identity", ornull(p.identity)},
                         {"log", p.log}});
    json logs = json::array();
    for (const filerecord& f : r.logs)
        logs.push_back({{"name", f.name}, {"size", ornull(f.size)}, {"sha256", ornull(f.sha256)}});
    const datafileinfo& d = r.datafile;
    const json record = {
        {"schema", "tolvi run record"},
        {"schema_version", schemaversion},
        {"tolvi_version", tolviversion()},
        {"date", date},
        {"command_line", ornull(r.commandline)},
        {"dialogue_answers", ornull(r.answers)},
        {"run_identity", ornull(r.identity)},
        {"data_file",
         {{"name", ornull(d.name)},
          {"size", ornull(d.size)},
          {"sha256", ornull(d.sha256)},
          {"format", ornull(d.reading.format)},
          {"reading", ornull(d.reading.reading)},
          {"taxa", ornull(d.taxa)},
          {"characters", ornull(d.characters)},
          {"excluded_characters", ornull(d.reading.excluded)},
          {"exclusion_set", ornull(d.reading.exclusionset)}}},
        {"groups", groups},
        {"outgroup", r.outgroup ? group(*r.outgroup) : json(nullptr)},
        {"report_kind", r.ranking ? "ranking list" : "comparison matrix"},
        {"setting", {{"name", ornull(r.setting)}, {"text", ornull(r.settingtext)}}},
        {"seed", ornull(r.seed)},
        {"replicates",
         {{"asked", ornull(r.asked)},
          {"read", r.read},
          {"used", r.used},
          {"left_out", notes(r.leftout)},
          {"missing", notes(r.missing)}}},
        {"parts", parts},
        {"logs", logs},
        {"results",
         {{"report", r.report},
          {"table", r.report + ".tsv"},
          {"figure", r.report + ".svg"},
          {"record", r.report + ".json"}}},
    };
    // Names are bytes as the file system gives them: text that is no UTF-8
    // is kept, each bad byte replaced.
    return record.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string recorddate()
{
    std::time_t when = std::time(nullptr);
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        char* end = nullptr;
        errno = 0;
        const long long seconds = std::strtoll(epoch, &end, 10);
        if (errno == 0 && end != epoch && *end == '\0' && seconds >= 0)
            when = static_cast<std::time_t>(seconds);
    }
    std::tm utc{};
    gmtime_r(&when, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

bool writerecord(const runrecord& record, const std::string& name)
{
    outfile file(name);
    if (!file.is_open())
        return false;
    file.stream() << recordtext(record, recorddate());
    return file.commit();
}
