# Every day of the Shamsi years first to last, one "Y/MM/DD" a line, Esfand
# always of 29 days (so every line is a day in any year):
#   awk -v first=1300 -v last=1420 -f shamsi_days.awk
BEGIN {
  for (y = first; y <= last; y++)
    for (m = 1; m <= 12; m++)
      for (d = 1; d <= (m <= 6 ? 31 : m <= 11 ? 30 : 29); d++)
        printf "%d/%02d/%02d\n", y, m, d
}
