standard errors based on 10 bootstrap replicates

d (above diagonal), S.E. (below diagonal)
taxa	apes	clones	monkeys	
apes	-	-0.264 (insign.)	-0.879 (insign.)	
clones	3.266 (6)	-	-1.197 (insign.)	
monkeys	3.097 (8)	3.870 (4)	-	


ratio (above diagonal), 95% confidence interval (below diagonal)
taxa	apes	clones	monkeys	
apes	-	-0.081 (1.207)	-0.357 (0.936)	
clones	(-2.446-2.284)	-	1.166 (7.110)	
monkeys	(-2.190-1.477)	(-12.769-15.101)	-	
