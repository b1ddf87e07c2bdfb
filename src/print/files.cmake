# print
