* The seeds of the .sav target, made with: pspp plain_seeds.sps; pspp wide_seeds.sps (in seeds/).
DATA LIST FIXED /id 1-3 (A) q1 TO q4 5-8 w 10-14 (2).
BEGIN DATA
A01 0121 1.50
A02 1 20  .
A03 2210 3.25
END DATA.
VARIABLE LABELS q1 'First' w 'Weight'.
VALUE LABELS q1 TO q4 0 'No' 1 'Some' 2 'Yes'.
MISSING VALUES q1 TO q4 (9).
SAVE OUTFILE='plain.sav' /UNCOMPRESSED.
SAVE OUTFILE='bytecode.sav' /COMPRESSED.
SAVE OUTFILE='zlib.zsav' /ZCOMPRESSED.
