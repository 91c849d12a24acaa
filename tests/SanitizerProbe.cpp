// Commits the fault named by its argument, for the check that each kind of
// fault ends a program built in the sanitizer tree.
#include <climits>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    volatile int four = 4;
    const std::string fault = argc > 1 ? argv[1] : "";
    std::vector<int> items(4);
    items.reserve(8);
    int* block = new int[four]();
    int read = 0;
    if (fault == "index")
        read = items[four];
    if (fault == "overflow")
        read = INT_MAX - 4 + four + four;
    if (fault == "freed")
        delete[] block;
    read += block[0];
    if (fault != "freed" && fault != "leak")
        delete[] block;
    return read;
}
