/* A test program that prints a line and then crashes, as a faulty test
   might: the runner must still show the line, how the program ended and
   what Wine said about it, and end it at once. */
#include <stdio.h>

int main(void)
{
    printf("printed before the crash\n");
    *(volatile int*)0 = 1;
    return 0;
}
