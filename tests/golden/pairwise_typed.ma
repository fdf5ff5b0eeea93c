standard errors based on 10 bootstrap replicates

d (above diagonal), S.E. (below diagonal)
taxa	apes	clones	monkeys	
apes	-	0.171 (insign.)	-1.290 (insign.)	
clones	2.090 (3)	-	-0.960 (insign.)	
monkeys	1.724 (5)	3.341 (2)	-	


ratio (above diagonal), 95% confidence interval (below diagonal)
taxa	apes	clones	monkeys	
apes	-	0.071 (1.437)	-0.294 (0.970)	
clones	(-2.745-2.888)	-	1.463 (7.192)	
monkeys	(-2.195-1.607)	(-12.634-15.559)	-	
