# The main window's menu.
MENU 130
POPUP "文件(&F)"
    ITEM 57601 "打开(&O)"
    POPUP "保存(&S)"
        ITEM 32772 "保存发送区数据(&S)"
        ITEM 32773 "保存接收区数据(&R)"
    END
END
POPUP "设置(&S)"
    ITEM 32787 "初始化设置(&R)"
    ITEM 32785 "保存为默认设置(&D)"
    ITEM 32788 "载入默认设置(&M)"
    ITEM 32784 "保存设置到ini文件(&S)"
    ITEM 32786 "从ini文件载入设置(&L)"
    SEPARATOR
    ITEM 32783 "设置切刀命令(&C)"
    SEPARATOR
    ITEM 32778 "以十六进制发送(&H)"
    ITEM 32776 "以十六进制显示(&X)"
    ITEM 32779 "清空发送区数据(&A)"
    ITEM 32780 "清空接收区数据(&R)"
END
POPUP "发送(&D)"
    ITEM 32781 "发送(&S)"
END
POPUP "帮助(&H)"
    ITEM 32782 "关于(&A)"
END
