/* load_by_name LIBRARY: loads a library by its bare name, as a program
   that trusts the system's search would; exit code 0 when it loaded. */
#include <windows.h>

int main(int argc, char** argv)
{
    return argc > 1 && LoadLibraryA(argv[1]) ? 0 : 1;
}
