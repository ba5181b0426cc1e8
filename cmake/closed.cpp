// The program of a library linked whole with what it links (cmake/VekLibrary.cmake): it
// is built, never run.
int main()
{
    return 0;
}
