/* Shows the library's exports at work: versions and an error text. */
#include <stdio.h>
#include "mirvo32.h"

int main(void) {
    char text[256];
    printf("Mirvo32 versjon %u (rammelån %u)\n", MVgetversion(), RLgetVersion());
    MVgeterror(100, text, sizeof text);
    printf("Feil 100: %s\n", text);
    return 0;
}
