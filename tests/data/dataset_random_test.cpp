// Long random sequences of data-set operations checked, after every step,
// against a plain reference model of records, view, position and change log.
#include "platform/data/dataset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

enum class St { Unmod, Ins, Mod };

struct Rec {
    std::string k;
    double v;
    St st = St::Unmod;
    bool vNull = false;  // a new record's V stays null until written
};

// The reference: records in order, a filter predicate, a position in the view.
struct Model {
    std::vector<Rec> recs;
    int filterKind = 0;  // 0 none, 1 K = key, 2 V < limit
    std::string key;
    double limit = 0;
    std::size_t cur = 0;
    TDataSetState state = dsBrowse;
    Rec buf;
    bool modified = false;
    std::size_t insertAt = 0, savedCur = 0;
    int deleted = 0;

    bool passes(const Rec& r) const {
        if (filterKind == 1) return r.k == key;
        if (filterKind == 2) return !r.vNull && r.v < limit;
        return true;
    }
    std::vector<std::size_t> view() const {
        std::vector<std::size_t> out;
        for (std::size_t i = 0; i < recs.size(); ++i)
            if (passes(recs[i])) out.push_back(i);
        return out;
    }
    void clampAt(std::size_t phys) {
        auto v = view();
        auto it = std::find(v.begin(), v.end(), phys);
        if (it != v.end()) {
            cur = static_cast<std::size_t>(it - v.begin());
            return;
        }
        auto lb = std::lower_bound(v.begin(), v.end(), phys);
        cur = v.empty() ? 0 : std::min(static_cast<std::size_t>(lb - v.begin()), v.size() - 1);
    }
    int changeCount() const {
        int n = deleted;
        for (const Rec& r : recs) n += r.st != St::Unmod;
        return n;
    }
    void post() {
        if (state == dsInsert) {
            buf.st = St::Ins;
            recs.insert(recs.begin() + static_cast<long>(insertAt), buf);
            state = dsBrowse;
            clampAt(insertAt);
            return;
        }
        const std::size_t phys = view()[cur];
        Rec& r = recs[phys];
        if (r.k != buf.k || r.v != buf.v || r.vNull != buf.vNull) {
            r.k = buf.k;
            r.v = buf.v;
            r.vNull = buf.vNull;
            if (r.st == St::Unmod) r.st = St::Mod;
        }
        state = dsBrowse;
        clampAt(phys);
    }
    void cancel() {
        if (state == dsInsert) {
            const std::size_t n = view().size();
            cur = n == 0 ? 0 : std::min(savedCur, n - 1);
        }
        state = dsBrowse;
    }
    void browse() {
        if (state == dsBrowse) return;
        if (modified) post();
        else cancel();
    }
};

class RandomRun {
public:
    explicit RandomRun(unsigned seed) : rng_(seed) {
        cds_.Name = "cdsAleatorio";
        cds_.AddField("K", TFieldType::ftString, 5);
        cds_.AddField("V", TFieldType::ftFloat);
        other_.AddField("K", TFieldType::ftString, 5);
        other_.AddField("V", TFieldType::ftFloat);
        cds_.CreateDataSet();
        other_.CreateDataSet();
    }

    void Step(int i) {
        const int op = pick(0, 15);
        history_.push_back("passo " + std::to_string(i) + " op " + std::to_string(op));
        if (history_.size() > 6) history_.erase(history_.begin());
        trace_.clear();
        for (const std::string& h : history_) trace_ += h + "; ";
        switch (op) {
        case 0:
        case 1: insert(op == 1); break;
        case 2:
        case 3: edit(); break;
        case 4:
        case 5: write(); break;
        case 6: post(); break;
        case 7: cancel(); break;
        case 8: del(); break;
        case 9: setFilter(); break;
        case 10: locate(); break;
        case 11: dataRoundTrip(); break;
        case 12: merge(); break;
        default: navigate(); break;
        }
        Compare();
    }

    void Compare() {
        SCOPED_TRACE(trace_);
        ASSERT_EQ(cds_.State(), m_.state);
        const auto v = m_.view();
        ASSERT_EQ(cds_.RecordCount(), static_cast<int>(v.size()));
        TField* k = cds_.FieldByName("K");
        TField* val = cds_.FieldByName("V");
        for (std::size_t i = 0; i < v.size(); ++i) {
            ASSERT_EQ(cds_.ValueAt(static_cast<int>(i), k).AsString(), m_.recs[v[i]].k) << i;
            ASSERT_EQ(cds_.ValueAt(static_cast<int>(i), val).AsFloat(), m_.recs[v[i]].v) << i;
        }
        ASSERT_EQ(cds_.GetData().RecordCount(), m_.recs.size());
        ASSERT_EQ(cds_.ChangeCount(), m_.changeCount());
        if (m_.state != dsBrowse) {
            ASSERT_EQ(k->AsString(), m_.buf.k);
            ASSERT_EQ(val->AsFloat(), m_.buf.v);
        } else if (!v.empty()) {
            ASSERT_EQ(cds_.RecNo(), static_cast<int>(m_.cur) + 1);
            ASSERT_EQ(k->AsString(), m_.recs[v[m_.cur]].k);
        }
    }

private:
    std::mt19937 rng_;
    TClientDataSet cds_, other_;
    Model m_;
    std::string trace_;
    std::vector<std::string> history_;  // the last steps, shown on a failure

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    std::string randomKey() { return std::string(1, static_cast<char>('a' + pick(0, 3))); }

    void insert(bool append) {
        m_.browse();
        const auto v = m_.view();
        m_.savedCur = m_.cur;
        m_.insertAt = append || v.empty() ? m_.recs.size() : v[m_.cur];
        m_.buf = Rec{"", 0};
        m_.buf.vNull = true;
        m_.modified = false;
        m_.state = dsInsert;
        if (append) cds_.Append();
        else cds_.Insert();
    }
    void edit() {
        if (m_.state != dsBrowse) return;
        const auto v = m_.view();
        if (v.empty()) {
            insert(false);
            return;
        }
        m_.buf = m_.recs[v[m_.cur]];
        m_.modified = false;
        m_.state = dsEdit;
        cds_.Edit();
    }
    void write() {
        if (m_.state == dsBrowse) {
            EXPECT_THROW(cds_.FieldByName("V")->SetAsFloat(1), EDatabaseError);
            return;
        }
        if (pick(0, 1)) {
            m_.buf.k = randomKey();
            cds_.FieldByName("K")->SetAsString(m_.buf.k);
        } else {
            m_.buf.v = pick(-3, 3);
            m_.buf.vNull = false;
            cds_.FieldByName("V")->SetAsFloat(m_.buf.v);
        }
        m_.modified = true;
    }
    void post() {
        if (m_.state == dsBrowse) {
            EXPECT_THROW(cds_.Post(), EDatabaseError);
            return;
        }
        m_.post();
        cds_.Post();
    }
    void cancel() {
        m_.cancel();
        cds_.Cancel();
    }
    void del() {
        if (m_.state == dsInsert) {
            cancel();
            return;
        }
        const auto v = m_.view();
        if (v.empty()) {
            m_.state = dsBrowse;
            if (cds_.State() == dsBrowse) {
                EXPECT_THROW(cds_.Delete(), EDatabaseError);
            }
            return;
        }
        Rec& r = m_.recs[v[m_.cur]];
        if (r.st != St::Ins) ++m_.deleted;
        m_.recs.erase(m_.recs.begin() + static_cast<long>(v[m_.cur]));
        m_.state = dsBrowse;
        const std::size_t n = m_.view().size();
        m_.cur = n == 0 ? 0 : std::min(m_.cur, n - 1);
        cds_.Delete();
    }
    void setFilter() {
        m_.browse();
        const int kind = pick(0, 2);
        if (kind != 0 || m_.filterKind != 0) m_.cur = 0;  // switching the same state off does not move
        m_.filterKind = kind;
        if (kind == 0) {
            cds_.SetFiltered(false);
            return;
        }
        cds_.SetFiltered(false);
        if (kind == 1) {
            m_.key = randomKey();
            cds_.SetFilter("K = '" + m_.key + "'");
        } else {
            m_.limit = pick(-2, 2);
            cds_.SetFilter("V<" + std::to_string(static_cast<int>(m_.limit)));
        }
        cds_.SetFiltered(true);
    }
    void locate() {
        m_.browse();
        const std::string key = randomKey();
        const auto v = m_.view();
        bool found = false;
        for (std::size_t i = 0; i < v.size() && !found; ++i)
            if (m_.recs[v[i]].k == key) {
                m_.cur = i;
                found = true;
            }
        EXPECT_EQ(cds_.Locate("K", Variant(key), {loCaseInsensitive}), found);
    }
    // Data out to another data set, a write there, and back again.
    void dataRoundTrip() {
        m_.state = dsBrowse;  // assigning Data drops an unposted buffer
        other_.SetData(cds_.GetData());
        if (other_.RecordCount() > 0 && pick(0, 1)) {
            other_.Last();
            other_.Edit();
            other_.FieldByName("V")->SetAsFloat(9);
            other_.Post();
            Rec& last = m_.recs.back();
            if (last.v != 9 || last.vNull) {
                last.v = 9;
                last.vNull = false;
                if (last.st == St::Unmod) last.st = St::Mod;
            }
        }
        cds_.SetData(other_.GetData());
        m_.cur = 0;
    }
    void merge() {
        for (Rec& r : m_.recs) r.st = St::Unmod;
        m_.deleted = 0;
        cds_.MergeChangeLog();
    }
    void navigate() {
        m_.browse();
        const std::size_t n = m_.view().size();
        const int how = pick(0, 3);
        history_.back() += " nav " + std::to_string(how) + " cur " + std::to_string(m_.cur) + " n " + std::to_string(n);
        switch (how) {
        case 0:
            m_.cur = 0;
            cds_.First();
            break;
        case 1:
            m_.cur = n == 0 ? 0 : n - 1;
            cds_.Last();
            break;
        case 2:
            if (m_.cur + 1 < n) ++m_.cur;
            cds_.Next();
            break;
        default:
            if (m_.cur > 0) --m_.cur;
            cds_.Prior();
            break;
        }
    }
};

class RandomOperations : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomOperations, MatchTheReferenceModelAfterEveryStep) {
    RandomRun run(GetParam());
    for (int i = 0; i < 3000; ++i) {
        run.Step(i);
        if (::testing::Test::HasFatalFailure() || ::testing::Test::HasNonfatalFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomOperations, ::testing::Values(1u, 7u, 42u, 1234u, 99991u));

}  // namespace
