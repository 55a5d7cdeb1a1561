// judge_answer at the longest texts: the cost of one Enter in an answer box.
#include "check/judge.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

struct TextPair {
    const char* name;
    std::string answer;
    std::string typed;
};

std::string longest_text(char first)
{
    std::string text;
    for (int i = 0; i < ANSWER_MAX_LENGTH; ++i) text += static_cast<char>(first + i % 26);
    return text;
}

std::string with_one_edit(std::string text)
{
    text[ANSWER_MAX_LENGTH / 2] = '#';
    return text;
}

// Equal stops after one distance; one edit and unrelated also sort and fill
// the table a second time.
const TextPair& pair_for(int shape)
{
    static const TextPair pairs[] = {
        {"equal", longest_text('A'), longest_text('A')},
        {"one_edit", longest_text('A'), with_one_edit(longest_text('A'))},
        {"unrelated", longest_text('A'), std::string(ANSWER_MAX_LENGTH, '0')},
    };
    return pairs[shape];
}

void judge_longest_texts(benchmark::State& state)
{
    const TextPair& pair = pair_for(static_cast<int>(state.range(0)));
    state.SetLabel(pair.name);
    for (auto _ : state) {
        Judgement judgement = judge_answer(pair.answer.c_str(), pair.typed.c_str());
        benchmark::DoNotOptimize(judgement);
    }
}

}  // namespace

BENCHMARK(judge_longest_texts)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
