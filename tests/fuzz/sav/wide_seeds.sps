* A 300-byte string, a date and a 64-character name; see plain_seeds.sps.
DATA LIST LIST /name (A300) score (F8.3) when (ADATE10) a_rather_long_variable_name_of_sixty_four_characters_for_testing (F3.0).
BEGIN DATA
"x" 1e12 01/02/2003 7
"a very long string value that goes past the eight byte segments" -0.000001 12/31/1999 -3
END DATA.
SAVE OUTFILE='wide.sav'.
