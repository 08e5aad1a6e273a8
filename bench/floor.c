/* The benchmark's floor: reads every file named on the command line into
 * memory with fread and does nothing else, so its time is what reading the
 * input costs at the least. Prints the byte count and a checksum, so that
 * the reads cannot be left out.
 */
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv) {
  unsigned long total = 0, sum = 0;
  for (int i = 1; i < argc; i++) {
    FILE *file = fopen(argv[i], "rb");
    if (!file) {
      perror(argv[i]);
      return 1;
    }
    fseek(file, 0, SEEK_END);
    long size = ftell(file);
    fseek(file, 0, SEEK_SET);
    char *buffer = malloc(size > 0 ? (size_t)size : 1);
    if (!buffer || fread(buffer, 1, (size_t)size, file) != (size_t)size) {
      fprintf(stderr, "%s: read failed\n", argv[i]);
      return 1;
    }
    fclose(file);
    for (long at = 0; at < size; at += 4096) sum += (unsigned char)buffer[at];
    total += (unsigned long)size;
    free(buffer);
  }
  printf("%lu bytes, checksum %lu\n", total, sum);
  return 0;
}
