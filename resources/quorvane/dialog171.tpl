# The cut-command dialog: the command in force, and the new one to type.
DIALOG 171 235 141
CAPTION "设置切刀命令"
FONT 10 "宋体"
STATIC      -1 "当前切刀命令为：" 13 13 65 8
STATIC    1127 "" 86 13 132 43
STATIC      -1 "设置切刀命令为：" 13 63 65 8
EDIT      1126 "" 86 61 132 43 MULTILINE VSCROLL
BUTTON       2 "取消" 86 111 30 12
BUTTON       1 "确定" 168 111 50 12 DEFAULT
