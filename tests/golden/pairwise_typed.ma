standard errors based on 10 bootstrap replicates

d (above diagonal), S.E. (below diagonal)
taxa	apes	clones	monkeys	
apes	-	-0.099 (insign.)	-0.106 (insign.)	
clones	0.097 (6)	-	0.004 (insign.)	
monkeys	0.107 (8)	0.099 (6)	-	


ratio (above diagonal), 95% confidence interval (below diagonal)
taxa	apes	clones	monkeys	
apes	-	0.602 (0.498)	0.609 (0.754)	
clones	(-0.374-1.579)	-	1.134 (0.620)	
monkeys	(-0.868-2.087)	(-0.082-2.350)	-	
