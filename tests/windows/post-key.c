/* Posts a key's press to the game's window and no release after it, as Windows leaves a key
 * whose release went to another window (a secure desktop, a lock screen, a drag of the title
 * bar). A posted message changes no key state, so the system still reports the key up.
 *
 *   post-key VIRTUAL_KEY SCAN_CODE [extended]
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
   HWND wnd;
   LPARAM lparam;

   if (argc < 3) {
      fprintf(stderr, "usage: post-key VIRTUAL_KEY SCAN_CODE [extended]\n");
      return 2;
   }
   wnd = FindWindowA(NULL, "Haltwick");
   if (!wnd) {
      fprintf(stderr, "post-key: no window titled Haltwick\n");
      return 1;
   }
   /* one press, its scan code, the extended flag; bit 30 clear: the key was up before */
   lparam = 1 | (strtol(argv[2], NULL, 0) & 0xFF) << 16 | (argc > 3 ? 1 << 24 : 0);
   if (!PostMessageA(wnd, WM_KEYDOWN, strtol(argv[1], NULL, 0), lparam)) {
      fprintf(stderr, "post-key: PostMessage failed (%lu)\n", GetLastError());
      return 1;
   }
   return 0;
}
