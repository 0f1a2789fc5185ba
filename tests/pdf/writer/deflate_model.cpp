#include "tests/pdf/writer/deflate_model.h"

#include <algorithm>
#include <cstddef>

namespace model {
namespace {

using Bytes = std::vector<std::uint8_t>;

const int kRows[6][4] = {{4, 4, 16, 16},    {8, 16, 32, 32},      {8, 16, 128, 128},
                         {8, 32, 128, 256}, {32, 128, 258, 1024}, {32, 258, 258, 4096}};
const int kLengthBase[32] = {3,  4,  5,  6,  7,  8,  9,  10,  11,  13,  15,  17,  19,  23, 27, 31,
                             35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258, 0,  0,  0};
const int kLengthExtra[32] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2,
                              3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 0, 0, 0};
const int kDistanceBase[32] = {1,    2,    3,    4,    5,    7,     9,     13,    17,    25,   33,
                               49,   65,   97,   129,  193,  257,   385,   513,   769,   1025, 1537,
                               2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
const int kDistanceExtra[32] = {0, 0, 0, 0, 1, 1, 2,  2,  3,  3,  4,  4,  5,  5,  6,  6,
                                7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14};
const int kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

struct Node {
    int value = 0;
    int next = 0;
    int child = 0;
};
struct PositionList {
    int first = 0, last = 0, cursor = 0, count = 0;
};
struct ChainEntry {
    int older = 0, newer = 0, position = 0;
};
struct Code {
    int length = 0;
    int value = 0;
};

class Model {
public:
    Model(const Bytes& data, int level) : d_(data), n_(static_cast<int>(data.size())) {
        const int* row = kRows[std::clamp(level, 0, 5)];
        good_ = row[0];
        lazy_ = row[1];
        nice_ = row[2];
        max_chain_ = row[3];
        heads_.assign(256, 0);
        second_.resize(1);
        third_.resize(1);
        positions_.resize(1);
        chains_.resize(1);
    }

    Bytes Run() {
        Pass1();
        return Pass2();
    }

private:
    int NewSecond() {
        second_.emplace_back();
        return static_cast<int>(second_.size()) - 1;
    }
    int NewThird() {
        third_.emplace_back();
        return static_cast<int>(third_.size()) - 1;
    }
    int NewPosition() {
        positions_.emplace_back();
        return static_cast<int>(positions_.size()) - 1;
    }
    int NewChain() {
        chains_.emplace_back();
        return static_cast<int>(chains_.size()) - 1;
    }

    void Insert(int pos) {
        const int b0 = d_[static_cast<std::size_t>(pos)];
        const int b1 = d_[static_cast<std::size_t>(pos + 1)];
        const int b2 = d_[static_cast<std::size_t>(pos + 2)];
        if (heads_[static_cast<std::size_t>(b0)] == 0)
            heads_[static_cast<std::size_t>(b0)] = NewSecond();
        int node = heads_[static_cast<std::size_t>(b0)];
        while (true) {
            if (second_[static_cast<std::size_t>(node)].next == 0) {
                const int next = NewSecond();
                const int child = NewThird();
                second_[static_cast<std::size_t>(node)] = {b1, next, child};
                break;
            }
            if (second_[static_cast<std::size_t>(node)].value == b1) break;
            node = second_[static_cast<std::size_t>(node)].next;
        }
        int third = second_[static_cast<std::size_t>(node)].child;
        while (true) {
            if (third_[static_cast<std::size_t>(third)].next == 0) {
                const int next = NewThird();
                const int child = NewPosition();
                third_[static_cast<std::size_t>(third)] = {b2, next, child};
                break;
            }
            if (third_[static_cast<std::size_t>(third)].value == b2) break;
            third = third_[static_cast<std::size_t>(third)].next;
        }
        PositionList& p =
            positions_[static_cast<std::size_t>(third_[static_cast<std::size_t>(third)].child)];
        if (p.count == 0) {
            const int e = NewChain();
            PositionList& q =
                positions_[static_cast<std::size_t>(third_[static_cast<std::size_t>(third)].child)];
            q.first = q.last = e;
            q.count = 1;
            chains_[static_cast<std::size_t>(e)].position = pos;
            chains_[static_cast<std::size_t>(e)].older = -1;
        } else if (p.count == max_chain_) {
            const int o = p.last;
            p.last = chains_[static_cast<std::size_t>(o)].newer;
            chains_[static_cast<std::size_t>(p.last)].older = -1;
            chains_[static_cast<std::size_t>(p.first)].newer = o;
            chains_[static_cast<std::size_t>(o)].newer = -1;
            chains_[static_cast<std::size_t>(o)].older = p.first;
            chains_[static_cast<std::size_t>(o)].position = pos;
            p.first = o;
        } else {
            const int list = third_[static_cast<std::size_t>(third)].child;
            const int e = NewChain();
            PositionList& q = positions_[static_cast<std::size_t>(list)];
            chains_[static_cast<std::size_t>(e)].older = q.first;
            chains_[static_cast<std::size_t>(e)].position = pos;
            chains_[static_cast<std::size_t>(q.first)].newer = e;
            q.first = e;
            q.count += 1;
        }
    }

    void FindLongestMatch(int pos, int stop, bool restart) {
        match_length_ = 2;
        const int b0 = d_[static_cast<std::size_t>(pos)];
        const int b1 = d_[static_cast<std::size_t>(pos + 1)];
        const int b2 = d_[static_cast<std::size_t>(pos + 2)];
        int node = heads_[static_cast<std::size_t>(b0)];
        if (node == 0) return;
        while (second_[static_cast<std::size_t>(node)].value != b1) {
            if (second_[static_cast<std::size_t>(node)].next == 0) return;
            node = second_[static_cast<std::size_t>(node)].next;
        }
        if (second_[static_cast<std::size_t>(node)].next == 0) return;
        int third = second_[static_cast<std::size_t>(node)].child;
        while (true) {
            if (third_[static_cast<std::size_t>(third)].next == 0) return;
            if (third_[static_cast<std::size_t>(third)].value == b2) break;
            third = third_[static_cast<std::size_t>(third)].next;
        }
        PositionList& p =
            positions_[static_cast<std::size_t>(third_[static_cast<std::size_t>(third)].child)];
        if (restart) p.cursor = p.first;
        for (int step = 0; step < p.count; ++step) {
            if (p.cursor < 1) return;
            const int c = chains_[static_cast<std::size_t>(p.cursor)].position;
            if (pos - c > 32767) return;
            int j = 2;
            while (d_[static_cast<std::size_t>(c + j)] == d_[static_cast<std::size_t>(pos + j)]) {
                if (pos + j == n_ - 1 || j == 258) break;
                ++j;
            }
            p.cursor = chains_[static_cast<std::size_t>(p.cursor)].older;
            if (j > match_length_) {
                match_length_ = j;
                match_distance_ = c;
            }
            if (match_length_ >= stop) return;
        }
    }

    void CloseRun() {
        if (run_ > 0) tokens_[static_cast<std::size_t>(run_at_)] = static_cast<std::uint8_t>(run_);
        run_ = 0;
    }

    void Literal(int pos, bool insert) {
        if (run_ == 127) CloseRun();
        if (run_ == 0) {
            run_at_ = static_cast<int>(tokens_.size());
            tokens_.push_back(0);
        }
        if (insert) Insert(pos);
        tokens_.push_back(d_[static_cast<std::size_t>(pos)]);
        lit_freq_[d_[static_cast<std::size_t>(pos)]] += 1;
        run_ += 1;
    }

    void Pass1() {
        int pos = 0;
        while (n_ - pos >= 4) {
            FindLongestMatch(pos, good_, true);
            if (match_length_ >= 3 && match_length_ < lazy_) {
                const int kept_length = match_length_, kept_distance = match_distance_;
                FindLongestMatch(pos, lazy_, false);
                if (!(match_length_ > kept_length)) {
                    match_length_ = kept_length;
                    match_distance_ = kept_distance;
                }
            }
            if (match_length_ >= 3 && match_length_ < nice_) {
                const int kept_length = match_length_, kept_distance = match_distance_;
                FindLongestMatch(pos + 1, nice_, true);
                if (match_length_ > kept_length) {
                    Literal(pos, true);
                    pos += 1;
                } else {
                    match_length_ = kept_length;
                    match_distance_ = kept_distance;
                }
            }
            if (match_length_ == 3 && pos - match_distance_ > 4096) match_length_ = 1;
            if (match_length_ >= 3) {
                CloseRun();
                const int distance = pos - match_distance_;
                tokens_.push_back(0x80);
                tokens_.push_back(static_cast<std::uint8_t>(distance / 256));
                tokens_.push_back(static_cast<std::uint8_t>(distance % 256));
                tokens_.push_back(static_cast<std::uint8_t>(match_length_ - 3));
                int j = 28;
                while (kLengthBase[j] > match_length_)
                    --j;
                lit_freq_[257 + j] += 1;
                int k = 29;
                while (kDistanceBase[k] > distance)
                    --k;
                dist_freq_[k] += 1;
                bool inserting = true;
                for (int i = 0; i < match_length_; ++i) {
                    if (inserting) Insert(pos);
                    if (pos + 3 == n_) inserting = false;
                    pos += 1;
                }
            } else {
                Literal(pos, true);
                pos += 1;
            }
        }
        while (pos < n_) {
            Literal(pos, false);
            pos += 1;
        }
        CloseRun();
        tokens_.push_back(0);
        lit_freq_[256] = 1;
    }

    // Pairwise merge over every symbol, as plainly as it can be written.
    static int BuildLengths(std::vector<Code>& codes, const std::vector<long long>& freq, int last,
                            int limit) {
        std::vector<long long> w(freq.begin(), freq.begin() + last + 1);
        int used = 0;
        for (int s = 0; s <= last; ++s)
            used += w[static_cast<std::size_t>(s)] > 0;
        if (used == 0) return -1;
        if (used == 1) {
            for (int s = 0; s <= last; ++s) {
                if (w[static_cast<std::size_t>(s)] == 0) {
                    w[static_cast<std::size_t>(s)] = 1;
                    break;
                }
            }
        }
        std::vector<std::vector<int>> group(static_cast<std::size_t>(last + 1));
        for (int s = 0; s <= last; ++s)
            group[static_cast<std::size_t>(s)] = {s};
        std::vector<int> depth(static_cast<std::size_t>(last + 1), 0);
        while (true) {
            int a = -1, b = -1;
            for (int s = 0; s <= last; ++s) {
                const long long x = w[static_cast<std::size_t>(s)];
                if (x <= 0) continue;
                if (a < 0 || x <= w[static_cast<std::size_t>(a)]) {
                    b = a;
                    a = s;
                } else if (b < 0 || x <= w[static_cast<std::size_t>(b)]) {
                    b = s;
                }
            }
            if (b < 0) break;
            w[static_cast<std::size_t>(a)] += w[static_cast<std::size_t>(b)];
            w[static_cast<std::size_t>(b)] = 0;
            for (int s : group[static_cast<std::size_t>(a)])
                depth[static_cast<std::size_t>(s)] += 1;
            for (int s : group[static_cast<std::size_t>(b)])
                depth[static_cast<std::size_t>(s)] += 1;
            auto& ga = group[static_cast<std::size_t>(a)];
            auto& gb = group[static_cast<std::size_t>(b)];
            ga.insert(ga.end(), gb.begin(), gb.end());
            gb.clear();
        }
        std::vector<int> count(400, 0);
        int deepest = 0;
        for (int s = 0; s <= last; ++s) {
            if (depth[static_cast<std::size_t>(s)] > 0)
                count[static_cast<std::size_t>(depth[static_cast<std::size_t>(s)])] += 1;
            deepest = std::max(deepest, depth[static_cast<std::size_t>(s)]);
        }
        std::vector<int> length = depth;
        if (deepest > limit) {
            for (int L = deepest; L > limit; --L) {
                while (count[static_cast<std::size_t>(L)] > 0) {
                    int j = L - 2;
                    while (count[static_cast<std::size_t>(j)] == 0)
                        --j;
                    count[static_cast<std::size_t>(L)] -= 2;
                    count[static_cast<std::size_t>(L - 1)] += 1;
                    count[static_cast<std::size_t>(j + 1)] += 2;
                    count[static_cast<std::size_t>(j)] -= 1;
                }
            }
            std::vector<int> order;
            for (int dd = 1; dd <= deepest; ++dd)
                for (int s = 0; s <= last; ++s)
                    if (depth[static_cast<std::size_t>(s)] == dd) order.push_back(s);
            std::size_t at = 0;
            for (int l = 1; l <= limit; ++l)
                for (int c = 0; c < count[static_cast<std::size_t>(l)]; ++c)
                    length[static_cast<std::size_t>(order[at++])] = l;
        }
        for (int s = 0; s <= last; ++s)
            codes[static_cast<std::size_t>(s)].length = length[static_cast<std::size_t>(s)];
        Canonical(codes, last);
        return 0;
    }

    static void Canonical(std::vector<Code>& codes, int last) {
        std::vector<int> count(17, 0);
        for (int s = 0; s <= last; ++s)
            count[static_cast<std::size_t>(codes[static_cast<std::size_t>(s)].length)] += 1;
        count[0] = 0;
        std::vector<int> next(17, 0);
        int code = 0;
        for (int l = 1; l <= 16; ++l) {
            code = (code + count[static_cast<std::size_t>(l - 1)]) * 2;
            next[static_cast<std::size_t>(l)] = code;
        }
        for (int s = 0; s <= last; ++s)
            if (codes[static_cast<std::size_t>(s)].length > 0)
                codes[static_cast<std::size_t>(s)].value =
                    next[static_cast<std::size_t>(codes[static_cast<std::size_t>(s)].length)]++;
    }

    // Counts (send = false) or writes the run-coded lengths.
    void CodeLengths(const std::vector<Code>& codes, int& last, bool send) {
        while (last > 0 && codes[static_cast<std::size_t>(last)].length == 0)
            --last;
        int prev = -1, next = codes[0].length, count = 0;
        int max = next == 0 ? 138 : 7, min = next == 0 ? 3 : 4;
        auto code = [&](int sym, int extra, int extra_bits) {
            if (send) {
                PutCode(bl_tree_[static_cast<std::size_t>(sym)]);
                if (extra_bits > 0) PutBits(extra, extra_bits);
            } else {
                bl_freq_[static_cast<std::size_t>(sym)] += 1;
            }
        };
        for (int s = 0; s <= last; ++s) {
            const int cur = next;
            next = s + 1 <= last ? codes[static_cast<std::size_t>(s + 1)].length : -1;
            count += 1;
            if (count < max && cur == next) continue;
            if (count < min) {
                for (int i = 0; i < count; ++i)
                    code(cur, 0, 0);
            } else if (cur != 0) {
                if (cur != prev) {
                    code(cur, 0, 0);
                    count -= 1;
                }
                code(16, count - 3, 2);
            } else if (count <= 10) {
                code(17, count - 3, 3);
            } else {
                code(18, count - 11, 7);
            }
            count = 0;
            prev = cur;
            if (next == 0) {
                max = 138;
                min = 3;
            } else if (cur == next) {
                max = 6;
                min = 3;
            } else {
                max = 7;
                min = 4;
            }
        }
    }

    void PutByte(int v) { out_.push_back(static_cast<std::uint8_t>(v)); }
    void PutBits(long long v, int k) {
        bit_buffer_ += v << bit_count_;
        bit_count_ += k;
        while (bit_count_ > 7) {
            PutByte(static_cast<int>(bit_buffer_ & 0xFF));
            bit_buffer_ /= 256;
            bit_count_ -= 8;
        }
    }
    void PutCode(const Code& c) {
        int r = 0;
        for (int i = 0; i < c.length; ++i)
            r |= ((c.value >> i) & 1) << (c.length - 1 - i);
        PutBits(r, c.length);
    }

    Bytes Pass2() {
        const long long stored = n_ + 5;
        long long bits = 3;
        for (int s = 0; s < 288; ++s) {
            const int len = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
            bits += lit_freq_[static_cast<std::size_t>(s)] * len;
            if (s >= 257) bits += lit_freq_[static_cast<std::size_t>(s)] * kLengthExtra[s - 257];
        }
        for (int k = 0; k < 32; ++k)
            bits += dist_freq_[static_cast<std::size_t>(k)] * (5 + kDistanceExtra[k]);
        const long long fixed = bits / 8 + 1;

        std::vector<Code> lit(288), dist(32);
        long long dynamic = 1LL << 30;
        int last_lit = 287, last_dist = 29, big_d = 0;
        const int r1 = BuildLengths(lit, lit_freq_, 287, 15);
        const int r2 = BuildLengths(dist, dist_freq_, 29, 15);
        if (r1 != -1 && r2 != -1) {
            CodeLengths(lit, last_lit, false);
            CodeLengths(dist, last_dist, false);
            BuildLengths(bl_tree_, bl_freq_, 18, 7);
            for (int i = 0; i < 19; ++i)
                if (bl_tree_[static_cast<std::size_t>(kOrder[i])].length > 0) big_d = i;
            bits = 3;
            for (int s = 0; s < 288; ++s)
                bits += lit_freq_[static_cast<std::size_t>(s)] *
                        (lit[static_cast<std::size_t>(s)].length +
                         (s >= 257 ? kLengthExtra[s - 257] : 0));
            for (int k = 0; k < 30; ++k)
                bits += dist_freq_[static_cast<std::size_t>(k)] *
                        (dist[static_cast<std::size_t>(k)].length + kDistanceExtra[k]);
            bits += 3 * big_d;
            for (int s = 0; s <= 15; ++s)
                bits += bl_freq_[static_cast<std::size_t>(s)] *
                        bl_tree_[static_cast<std::size_t>(s)].length;
            bits += bl_freq_[16] * (bl_tree_[16].length + 2) +
                    bl_freq_[17] * (bl_tree_[17].length + 3) +
                    bl_freq_[18] * (bl_tree_[18].length + 7);
            dynamic = bits / 8 + 1;
        }
        int type = 0;
        long long cost = stored;
        if (fixed < cost) {
            type = 1;
            cost = fixed;
        }
        if (dynamic < cost) type = 2;

        PutByte(0x78);
        PutByte(0x5E);
        if (type == 0) {
            // Split into blocks of at most 65535 bytes, the last one final.
            int at = 0;
            do {
                const int len = std::min(65535, n_ - at);
                PutBits(at + len == n_ ? 1 : 0, 1);
                PutBits(0, 2);
                PutBits(0, 5);
                PutByte(len & 0xFF);
                PutByte((len >> 8) & 0xFF);
                PutByte(~len & 0xFF);
                PutByte((~len >> 8) & 0xFF);
                for (int i = 0; i < len; ++i)
                    PutByte(d_[static_cast<std::size_t>(at + i)]);
                at += len;
            } while (at < n_);
        } else {
            PutBits(1, 1);
            PutBits(type, 2);
            if (type == 1) {
                for (int s = 0; s < 288; ++s)
                    lit[static_cast<std::size_t>(s)].length = s < 144   ? 8
                                                              : s < 256 ? 9
                                                              : s < 280 ? 7
                                                                        : 8;
                for (int k = 0; k < 32; ++k)
                    dist[static_cast<std::size_t>(k)].length = 5;
                Canonical(lit, 287);
                Canonical(dist, 31);
            } else {
                PutBits(last_lit - 256, 5);
                PutBits(last_dist, 5);
                PutBits(big_d - 3, 4);
                for (int i = 0; i <= big_d; ++i)
                    PutBits(bl_tree_[static_cast<std::size_t>(kOrder[i])].length, 3);
                int l1 = last_lit, l2 = last_dist;
                CodeLengths(lit, l1, true);
                CodeLengths(dist, l2, true);
            }
            const int top = type == 1 ? 31 : last_dist;
            std::size_t t = 0;
            int next_literal = 0;
            while (true) {
                const int c = tokens_[t];
                if (c == 0) {
                    PutCode(lit[256]);
                    if (bit_count_ > 0) PutByte(static_cast<int>(bit_buffer_ & 0xFF));
                    break;
                }
                if (c < 0x80) {
                    for (int i = 0; i < c; ++i)
                        PutCode(lit[tokens_[t + 1 + static_cast<std::size_t>(i)]]);
                    next_literal += c;
                    t += 1 + static_cast<std::size_t>(c);
                } else {
                    const int distance = tokens_[t + 1] * 256 + tokens_[t + 2];
                    const int length = tokens_[t + 3] + 3;
                    int j = 28;
                    while (kLengthBase[j] > length)
                        --j;
                    PutCode(lit[static_cast<std::size_t>(257 + j)]);
                    PutBits(length - kLengthBase[j], kLengthExtra[j]);
                    int k = top;
                    while (kDistanceBase[k] > distance)
                        --k;
                    PutCode(dist[static_cast<std::size_t>(k)]);
                    PutBits(distance - kDistanceBase[k], kDistanceExtra[k]);
                    next_literal += length;
                    t += 4;
                }
            }
        }
        long long a = 1, b = 0;
        for (std::uint8_t byte : d_) {
            a = (a + byte) % 65521;
            b = (b + a) % 65521;
        }
        PutByte(static_cast<int>(b >> 8));
        PutByte(static_cast<int>(b & 0xFF));
        PutByte(static_cast<int>(a >> 8));
        PutByte(static_cast<int>(a & 0xFF));
        return out_;
    }

    const Bytes& d_;
    int n_;
    int good_, lazy_, nice_, max_chain_;
    std::vector<int> heads_;
    std::vector<Node> second_, third_;
    std::vector<PositionList> positions_;
    std::vector<ChainEntry> chains_;
    int match_length_ = 2, match_distance_ = 0;
    Bytes tokens_;
    int run_ = 0, run_at_ = 0;
    std::vector<long long> lit_freq_ = std::vector<long long>(288, 0);
    std::vector<long long> dist_freq_ = std::vector<long long>(32, 0);
    std::vector<long long> bl_freq_ = std::vector<long long>(19, 0);
    std::vector<Code> bl_tree_ = std::vector<Code>(19);
    Bytes out_;
    long long bit_buffer_ = 0;
    int bit_count_ = 0;
};

} // namespace

std::vector<std::uint8_t> ModelEncodeFlate(std::span<const std::uint8_t> data, int level) {
    const Bytes copy(data.begin(), data.end());
    return Model(copy, level).Run();
}

} // namespace model
