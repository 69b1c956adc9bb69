/* Built for i386 and started in the test bed's prefix: whether this host can run 32-bit
   Windows programs is answered by running one, not by guessing from what is installed. */
#include <stdio.h>

int main(void) {
  puts("pendrake x86 probe: running");
  return sizeof(void*) == 4 ? 0 : 3;
}
