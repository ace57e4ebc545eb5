#include "host/ExpectedBreaches.h"

std::vector<ExpectRecord> matchExpectedBreaches(const std::vector<const Item*>& lines,
                                                const std::vector<BreachRecord>& breaches,
                                                int stepLine) {
    std::vector<bool> covered(breaches.size(), false);
    std::string seen;
    for (const BreachRecord& breach : breaches) {
        seen += std::string(seen.empty() ? "" : " ") + ruleInfo(breach.rule).id;
    }
    std::vector<ExpectRecord> out;
    for (const Item* line : lines) {
        const Expectation& expectation = std::get<Expectation>(line->what);
        ExpectRecord record;
        record.line = line->line;
        record.what = Expectation::Kind::Breach;
        record.rule = expectation.rule;
        record.step = stepLine;
        record.expected = ExpectValue::ofText(expectation.rule);
        record.actual = ExpectValue::ofText(seen);
        for (std::size_t i = 0; i < breaches.size(); ++i) {
            if (!covered[i] && expectation.rule == ruleInfo(breaches[i].rule).id) {
                covered[i] = true;
                record.held = true;
                record.covers = breaches[i].id;
                break;
            }
        }
        out.push_back(record);
    }
    return out;
}
