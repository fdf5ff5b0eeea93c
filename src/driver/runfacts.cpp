#include "runfacts.h"

#include <algorithm>
#include <map>
#include <sstream>

#include "sha256.h"

datafileinfo describedata(const std::string& file, const datareading& read)
{
    datafileinfo data;
    data.name = file;
    if (const std::optional<filedigest> d = digestfile(file)) {
        data.size = d->size;
        data.sha256 = d->sha256;
    }
    data.taxa = read.data.names;
    data.characters = read.characters;
    if (!read.format.empty())
        data.reading.format = read.format;
    data.reading.reading = read.standin ? "word by word after MATRIX" : "NEXUS Class Library";
    data.reading.excluded = read.excludedcolumns;
    if (!read.exclusionset.empty())
        data.reading.exclusionset = read.exclusionset;
    return data;
}

runprovenance describerun(std::string_view head, std::string_view section, datafileinfo data, int setting,
                          std::string_view settingtext, std::uint32_t seed, int replicates, int parts)
{
    runprovenance run;
    run.identity = runidentity(head, section, seed, replicates);
    run.tolvi = tolviversion();
    data.taxa.reset();  // the log lists them anyway
    run.datafile = std::move(data);
    run.setting = "*MLS" + std::to_string(setting);
    run.settingtext = settingwords(settingtext);
    run.seed = seed;
    run.replicates = replicates;
    run.parts = parts;
    return run;
}

std::string settingwords(std::string_view copied)
{
    const std::size_t last = copied.find_last_not_of(" \n");
    return std::string(copied.substr(0, last == std::string_view::npos ? 0 : last + 1));
}

filerecord logrecord(const std::string& name, const extractor& reading)
{
    filerecord f{name, std::nullopt, std::nullopt};
    // Neither is known of a log that could not be read to its end.
    if (reading.opened && !reading.sha256.empty()) {
        f.size = reading.size;
        f.sha256 = reading.sha256;
    }
    return f;
}

void recordgroups(runrecord& record, const std::vector<group>& groups)
{
    record.groups.clear();
    for (const group& g : groups)
        record.groups.push_back({g.number, g.name, g.taxa});
    if (!record.groups.empty()) {
        record.outgroup = record.groups.back();
        record.groups.pop_back();
    }
}

void recordlog(runrecord& record, const loghead& head, const replicatetable& table)
{
    if (const std::optional<runprovenance>& run = head.provenance) {
        record.identity = run->identity;
        if (!record.datafile.name) {
            record.datafile = run->datafile;
            record.setting = run->setting;
            record.settingtext = run->settingtext;
            record.seed = run->seed;
            record.asked = run->replicates;
        }
    }
    if (!head.taxa.empty() && !record.datafile.taxa) {
        std::vector<std::string> names;
        for (const std::string& label : head.taxa)
            names.push_back(splitmarks(label).name);
        record.datafile.taxa = names;
    }
    if (!record.groups.empty() || table.empty())
        return;
    // The groups compared, in the order of their first comparison; the
    // outgroup is the one group the taxa carry a mark of that no comparison
    // names.
    std::vector<grouprecord> groups;
    auto add = [&groups](int number, const std::string& name) {
        if (std::none_of(groups.begin(), groups.end(), [&](const grouprecord& g) { return g.number == number; }))
            groups.push_back({number, name, std::nullopt});
    };
    for (const comparisonrecord& c : table.front()) {
        add(c.numbera, c.namea);
        add(c.numberb, c.nameb);
    }
    record.groups = groups;
    if (head.taxa.empty())
        return;  // the log lists no taxa: the groups' taxa are not known
    // The taxa of each group by the marks on their names.
    std::map<int, std::vector<int>> members;
    for (std::size_t t = 0; t < head.taxa.size(); ++t)
        for (int number : splitmarks(head.taxa[t]).groups)
            members[number].push_back(static_cast<int>(t) + 1);
    for (grouprecord& g : record.groups) {
        g.taxa = members[g.number];
        members.erase(g.number);
    }
    if (members.size() == 1)
        record.outgroup = grouprecord{members.begin()->first, std::nullopt, members.begin()->second};
}

answerkeeper::int_type answerkeeper::underflow()
{
    return source_->sgetc();
}

answerkeeper::int_type answerkeeper::uflow()
{
    const int_type c = source_->sbumpc();
    if (!traits_type::eq_int_type(c, traits_type::eof()))
        kept_ += traits_type::to_char_type(c);
    return c;
}

answerkeeper::int_type answerkeeper::pbackfail(int_type c)
{
    const int_type back = source_->sungetc();
    if (!traits_type::eq_int_type(back, traits_type::eof()) && !kept_.empty())
        kept_.pop_back();
    return traits_type::eq_int_type(c, traits_type::eof()) ? back : c;
}

std::optional<std::vector<std::string>> typedanswers(const std::istream& in)
{
    const auto* keeper = dynamic_cast<const answerkeeper*>(in.rdbuf());
    if (!keeper)
        return std::nullopt;
    std::vector<std::string> answers;
    std::istringstream lines(keeper->kept());
    for (std::string line; std::getline(lines, line);) {
        if (line.ends_with('\r'))
            line.pop_back();
        answers.push_back(line);
    }
    return answers;
}
