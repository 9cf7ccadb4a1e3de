* A seed of the .sav target in windows-1251, made in seeds/ with: pspp ../codepage_seeds.sps: long
* names holding the byte 0xFF (я), a long string with missing values and value labels.
SET LOCALE='windows-1251'.
DATA LIST LIST /имя (A12) ответ (F1) область (A16).
BEGIN DATA
"Яков" 1 "север"
"Иван" 9 "неизвестно"
END DATA.
MISSING VALUES ответ (9) /область ('нет' 'н/д').
VALUE LABELS область 'север' 'Север страны'.
SAVE OUTFILE='cp1251.sav'.
