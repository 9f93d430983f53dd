#NAME I08 'ISCO-08'
#WIDTH 4
#TABLE SKL 'skill' NEAREST
#V 1000 4
#V 1400 3
#L 4 'Four'
#GROUPING MAJ 'major'
#G 0000-0999 0 'Armed'
#G 1000-1999 1 'Managers'
#G 9000-9999 9 'Elementary'
#GROUPING SUB 'sub'
#G 0100-0199 01 'Officers'
