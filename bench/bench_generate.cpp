// Puzzles per second that the generator makes, by size and difficulty level.
#include "tools/Generator.h"

#include <chrono>
#include <cstdio>

int main()
{
    using TClock = std::chrono::steady_clock;
    std::printf("%-7s %5s %8s %11s %10s\n", "size", "level", "puzzles", "candidates", "per second");
    for (const int32_t side : {10, 20, 30})
        for (const int32_t level : {1, 3, 5}) {
            TGenerator generator(side, side, level, 1);
            const TClock::time_point start = TClock::now();
            int made = 0;
            TGenerated puzzle;
            // Up to five puzzles or three seconds; a level a size cannot reach shows as none.
            while (made < 5 && std::chrono::duration<double>(TClock::now() - start).count() < 3.0
                   && generator.Next(puzzle, 500))
                ++made;
            const double seconds = std::chrono::duration<double>(TClock::now() - start).count();
            std::printf("%2dx%-4d %5d %8d %11lld %10.2f\n", side, side, level, made,
                        static_cast<long long>(generator.Candidates()), made / seconds);
            std::fflush(stdout);
        }
    return 0;
}
